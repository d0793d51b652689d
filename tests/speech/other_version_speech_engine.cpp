// An engine library that says it is another version than the one the program's
// structures are laid out for: it must be refused before anything is handed to it.
extern "C" __attribute__((visibility("default"))) const char* SherpaOnnxGetVersionStr()
{
    return "1.12.0";
}
