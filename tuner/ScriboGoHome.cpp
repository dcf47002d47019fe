#include "ScriboGoHome.h"

const UINT kScriboGoHome = RegisterWindowMessageA("SCRIBO_GO_HOME");
