#pragma once
// The host functions the plug-in binds, in the order they are looked up. Everything in the plug-in reaches
// the host only through these process-wide pointers.

#include "reaper_abi.h"

#include <cstdint>

// X(return type, name, parameter list)
#define TAMSEL_HOST_FUNCTIONS(X)                                                                             \
    X(double, DB2SLIDER, (double x))                                                                         \
    X(double, SLIDER2DB, (double y))                                                                         \
    X(int, GetNumMIDIInputs, ())                                                                             \
    X(int, GetNumMIDIOutputs, ())                                                                            \
    X(midi_Input*, CreateMIDIInput, (int dev))                                                               \
    X(midi_Output*, CreateMIDIOutput, (int dev, bool streamMode, int* msoffset100))                          \
    X(bool, GetMIDIOutputName, (int dev, char* nameout, int nameoutlen))                                     \
    X(bool, GetMIDIInputName, (int dev, char* nameout, int nameoutlen))                                      \
    X(int, CSurf_TrackToID, (MediaTrack * track, bool mcpView))                                              \
    X(MediaTrack*, CSurf_TrackFromID, (int idx, bool mcpView))                                               \
    X(int, CSurf_NumTracks, (bool mcpView))                                                                  \
    X(void, CSurf_SetSurfaceVolume, (MediaTrack * track, double volume, IReaperControlSurface* ignoresurf))  \
    X(void, CSurf_SetSurfacePan, (MediaTrack * track, double pan, IReaperControlSurface* ignoresurf))        \
    X(double, CSurf_OnVolumeChange, (MediaTrack * track, double volume, bool relative))                      \
    X(double, CSurf_OnPanChange, (MediaTrack * track, double pan, bool relative))                            \
    X(bool, CSurf_OnMuteChange, (MediaTrack * track, int mute))                                              \
    X(bool, CSurf_OnRecArmChange, (MediaTrack * track, int recarm))                                          \
    X(void, CSurf_OnPlay, ())                                                                                \
    X(void, CSurf_OnStop, ())                                                                                \
    X(void, CSurf_OnFwd, (int seekplay))                                                                     \
    X(void, CSurf_OnRew, (int seekplay))                                                                     \
    X(void, CSurf_OnRecord, ())                                                                              \
    X(void, CSurf_GoStart, ())                                                                               \
    X(void, CSurf_GoEnd, ())                                                                                 \
    X(bool, CSurf_OnSoloChange, (MediaTrack * track, int solo))                                              \
    X(void, CSurf_SetAutoMode, (int mode, IReaperControlSurface* ignoresurf))                                \
    X(void, CSurf_ScrubAmt, (double amt))                                                                    \
    X(void, CSurf_SetSurfaceSelected,                                                                        \
      (MediaTrack * track, bool selected, IReaperControlSurface* ignoresurf))                                \
    X(bool, CSurf_OnSelectedChange, (MediaTrack * track, int selected))                                      \
    X(void, TrackList_UpdateAllExternalSurfaces, ())                                                         \
    X(void, SetTrackAutomationMode, (MediaTrack * tr, int mode))                                             \
    X(int, GetTrackAutomationMode, (MediaTrack * tr))                                                        \
    X(void, SetTrackSelected, (MediaTrack * track, bool selected))                                           \
    X(int, TrackFX_GetCount, (MediaTrack * track))                                                           \
    X(int, TrackFX_GetNumParams, (MediaTrack * track, int fx))                                               \
    X(double, TrackFX_GetParam,                                                                              \
      (MediaTrack * track, int fx, int param, double* minvalOut, double* maxvalOut))                         \
    X(bool, TrackFX_SetParam, (MediaTrack * track, int fx, int param, double val))                           \
    X(bool, TrackFX_GetParamName, (MediaTrack * track, int fx, int param, char* buf, int buf_sz))            \
    X(bool, TrackFX_GetFXName, (MediaTrack * track, int fx, char* buf, int buf_sz))                          \
    X(void*, GetSetMediaTrackInfo, (MediaTrack * tr, const char* parmname, void* setNewValue))               \
    X(const char*, GetTrackInfo, (std::intptr_t track, int* flags))                                          \
    X(MediaTrack*, GetLastTouchedTrack, ())                                                                  \
    X(void, Main_OnCommand, (int command, int flag))                                                         \
    X(void*, GetSetTrackSendInfo,                                                                            \
      (MediaTrack * tr, int category, int sendidx, const char* parmname, void* setNewValue))                 \
    X(double, GetCursorPosition, ())                                                                         \
    X(void, SetEditCurPos, (double time, bool moveview, bool seekplay))                                      \
    X(double, GetPlayPosition, ())                                                                           \
    X(int, KBD_OnMainActionEx, (int cmd, int val, int valhw, int relmode, HWND hwnd, ReaProject* proj))      \
    X(int, NamedCommandLookup, (const char* command_name))                                                   \
    X(const char*, GetExePath, ())

// Functions of newer hosts, looked up after the 50. Any of them may be missing: its pointer stays null and
// only the feature that needs it does nothing; registration never depends on them.
#define TAMSEL_OPTIONAL_HOST_FUNCTIONS(X)                                                                    \
    X(const char*, GetResourcePath, ())                                                                      \
    X(bool, GetLastTouchedFX, (int* tracknumberOut, int* fxnumberOut, int* paramnumberOut))                  \
    X(MediaTrack*, GetTrack, (ReaProject * proj, int trackidx))                                              \
    X(MediaTrack*, GetMasterTrack, (ReaProject * proj))                                                      \
    X(double, TrackFX_GetParamNormalized, (MediaTrack * track, int fx, int param))                           \
    X(bool, TrackFX_SetParamNormalized, (MediaTrack * track, int fx, int param, double value))               \
    X(bool, TrackFX_GetEQParam,                                                                              \
      (MediaTrack * tr, int fxidx, int paramidx, int* bandtypeOut, int* bandidxOut, int* paramtypeOut,       \
       double* normvalOut))                                                                                  \
    X(bool, TrackFX_GetEQBandEnabled, (MediaTrack * tr, int fxidx, int bandtype, int bandidx))               \
    X(bool, TrackFX_SetEQBandEnabled, (MediaTrack * tr, int fxidx, int bandtype, int bandidx, bool enable))  \
    X(void, ShowConsoleMsg, (const char* msg))                                                               \
    X(GUID*, TrackFX_GetFXGUID, (MediaTrack * track, int fx))

namespace host {

#define TAMSEL_DECLARE_HOST_POINTER(ret, name, params) extern ret(*name) params;
TAMSEL_HOST_FUNCTIONS(TAMSEL_DECLARE_HOST_POINTER)
TAMSEL_OPTIONAL_HOST_FUNCTIONS(TAMSEL_DECLARE_HOST_POINTER)
#undef TAMSEL_DECLARE_HOST_POINTER

constexpr int kFunctionCount = 50;
#define TAMSEL_COUNT_ONE(ret, name, params) +1
constexpr int kOptionalFunctionCount = 0 TAMSEL_OPTIONAL_HOST_FUNCTIONS(TAMSEL_COUNT_ONE);
#undef TAMSEL_COUNT_ONE

// Name of the function at position `index` (0-based) of the lookup order, or null past the end.
const char* functionName(int index);
// Name of the optional function at position `index` of its lookup order (after the 50), or null.
const char* optionalFunctionName(int index);

using GetFuncProc = void* (*)(const char* name);

// Looks every function up in table order and stops at the first one the host lacks. Returns true when all
// were found; then the optional functions are looked up too, each left null when the host lacks it.
// Pointers bound before a failure keep their values but are never used. On failure `missing` (when given)
// receives the name of the first function the host lacks (null for a null getFunc).
bool bindFunctions(GetFuncProc getFunc, const char** missing = nullptr);

// Clears every pointer (tests bind against several fake hosts in one process).
void unbindFunctions();

} // namespace host
