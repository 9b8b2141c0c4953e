// Compiled as part of the address layer: the base layer below it is visible.
#include "address/AddressText.h"
#include "base/IntScan.h"

int LayerProbe() {
    return ip2h::IsDottedQuad("10.0.0.1") ? 0 : 1;
}
