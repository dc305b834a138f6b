// A DLL that is no REAPER extension: it exports something, but no ReaperPluginEntry.
extern "C" __declspec(dllexport) int notAnEntry() {
    return 0;
}
