// Resource identifiers shared by the resource script and the code.
#pragma once

#define IDI_APP_NAME L"AAA"       // the program icon group
#define IDI_MISSING_PROGRAM 101          // shown by the alert when the program file is missing
#define IDB_TOOLBAR 201           // eight 16x16 images, 32-bit with alpha
#define IDB_TOOLBAR24 202         // the same, 24-bit with a magenta key colour
#define IDB_ALERT 203             // the alert's shield, magenta key colour
#define IDR_ENGLISH_TEXTS 301     // Language\English.lng, for texts a language file lacks
