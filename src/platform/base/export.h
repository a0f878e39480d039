// Symbol visibility: the plug-in is built with hidden visibility, so every symbol that an
// outside program looks up by name carries JC_EXPORT.
#pragma once

#define JC_EXPORT __attribute__((visibility("default")))
