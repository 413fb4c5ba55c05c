#include "support/temp_home.h"
