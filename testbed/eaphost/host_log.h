// The host's own report lines, "eaphost :: ..." and "server :: ...". They go to standard
// output, or to standard error in stream mode, where standard output carries packets only.
#pragma once

#include <cstdio>

void SetHostLogStream(FILE* stream);
FILE* HostLogStream();

void HostLog(const char* format, ...) __attribute__((format(printf, 1, 2)));
