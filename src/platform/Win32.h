// Everything of the operating-system stand-in layer the game calls.
#pragma once

#include "platform/Backend.h"
#include "platform/Win32Files.h"
#include "platform/Win32Find.h"
#include "platform/Win32Profile.h"
#include "platform/Win32Shell.h"
#include "platform/Win32Time.h"
#include "platform/Win32Types.h"
#include "platform/Win32Window.h"
