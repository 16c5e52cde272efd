#include "Globals.h"
#include "Catalogue.h"

#include <cmath>

TSetupData SetupData;
TRequestParameters RequestParameters;
TResultParameters ResultParameters;
