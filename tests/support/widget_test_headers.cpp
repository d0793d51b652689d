// Compiled only to make the precompiled headers the window tests share.
