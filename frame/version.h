// The one place that holds the library's version; the resource script and the tools read it.
#pragma once

#define TARN_VERSION_MAJOR 1
#define TARN_VERSION_MINOR 0
#define TARN_VERSION_PATCH 0
#define TARN_VERSION_BUILD 3

#define TARN_VERSION_TEXT "1.0.0.3"
#define TARN_VERSION_RESOURCE_TEXT "1, 0, 0, 3"
