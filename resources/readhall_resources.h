#pragma once
// The program's built-in resources: bitmaps (":/bitmaps/<id>.png"), the string table
// (":/strings/strings.tsv"), the help pages (":/help/...") and start pages (":/pages/...").

// Registers the resources compiled into the readhall_resources library. A static library's
// resources are not registered by themselves: call this once, early in main() (and in test
// programs that read resources), before the first resource is read. Calling it again is
// harmless.
void readhallInitResources();
