// Compiled as part of the address layer: the results layer above it must not be visible, so
// this file fails to compile.
#include "address/AddressText.h"
#include "results/ResultTable.h"

int LayerProbe() {
    return ip2h::MaxRows;
}
