#include "search/settings.h"

SettingsRecord Settings;
