// The framework records of the importer's and media handler's routines.
#pragma once

#include "host/media_handler_records.h"
