#include "zynfile/zyn_header.h"

const char* const kVZynCreator = "Velmoor/MoCap/OnLine version 6.0 build 20041028";
