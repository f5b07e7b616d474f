#include "model/compu_check.h"
