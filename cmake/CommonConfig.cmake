# Settings every target of the project shares.
add_library(ip2h_common INTERFACE)
target_compile_features(ip2h_common INTERFACE cxx_std_20)
target_compile_options(ip2h_common INTERFACE -Wall -Wextra -Wpedantic)
if(IP2H_WERROR)
    target_compile_options(ip2h_common INTERFACE -Werror)
endif()
target_compile_definitions(ip2h_common INTERFACE
    QT_NO_CAST_FROM_ASCII
    QT_NO_CONTEXTLESS_CONNECT
    QT_NO_KEYWORDS)

# IP2H_SANITIZE=address,undefined or IP2H_SANITIZE=thread builds a checked variant.
if(IP2H_SANITIZE)
    target_compile_options(ip2h_common INTERFACE
        -fsanitize=${IP2H_SANITIZE} -fno-omit-frame-pointer -fno-sanitize-recover=all -g)
    target_link_options(ip2h_common INTERFACE -fsanitize=${IP2H_SANITIZE})
endif()
