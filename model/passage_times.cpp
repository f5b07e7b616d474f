#include "model/passage_times.h"
