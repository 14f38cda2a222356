#pragma once

// Identifiers shared by the resource script and the code that loads its resources.
#define KARUNE_ICON_ID 1
