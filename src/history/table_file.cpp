#include "history/table_file.h"
