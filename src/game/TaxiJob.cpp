#include "game/TaxiJob.h"

CTaxiJob g_TaxiJob;
