// Includes one header of one layer from a target that links another: the layering tests build it
// to show that a layer reaches the headers of the layers below it and of no layer above.
#include PROBE_HEADER
