#include "ui/support/ui_test_support.h"
