#pragma once
// Resets every piece of cached state of the platform layer: the settings store derives its
// files from the environment again, the atom table empties, and the message-box, shell,
// clock and string-table hooks are cleared. Test programs run it before and after every
// test (the layer registers it with the test support by itself).

namespace platform
{
void resetForTests();
} // namespace platform
