#pragma once
// Our own declarations of the REAPER plug-in interface (interface version 0x20E).
//
// REAPER is built with MSVC, which gives a virtual destructor one vtable slot (the scalar deleting
// destructor); GCC gives it two. Under MinGW we therefore declare no virtual destructors at all: the slot
// where MSVC has its destructor is an ordinary virtual with the deleting-destructor signature. Elsewhere
// (GCC or Clang on both sides, as REAPER on Linux and macOS) the usual virtual destructor is the right
// layout. No data members, single inheritance, no overloaded virtual names.

#include <cstddef>
#include <cstdint>

#if defined(_WIN32) && defined(__GNUC__)
#define TAMSEL_MSVC_VTABLE 1
#else
#define TAMSEL_MSVC_VTABLE 0
#endif

// Window handles as windows.h declares them (the repeated typedef is legal C++), so portable code can name
// them without including windows.h.
struct HWND__;
typedef HWND__* HWND;
struct HINSTANCE__;
typedef HINSTANCE__* HINSTANCE;

class MediaTrack; // opaque host handles: declared, never defined
class ReaProject;
// A 16-byte identifier, declared as windows.h (and SWELL) declare it; the plug-in only copies and compares
// its bytes.
struct _GUID;
typedef _GUID GUID;
constexpr std::size_t kGuidSize = 16;

struct MIDI_event_t {
    int frame_offset;
    int size; // may exceed 4 (System Exclusive): the bytes then run past the array in the same allocation
    unsigned char midi_message[4];
};
static_assert(sizeof(MIDI_event_t) == 12 && alignof(MIDI_event_t) == 4, "MIDI_event_t layout");

class MIDI_eventlist {
public:
    virtual void AddItem(MIDI_event_t* evt) = 0;
    virtual MIDI_event_t* EnumItems(int* bpos) = 0;
    virtual void DeleteItem(int bpos) = 0;
    virtual int GetSize() = 0;
    virtual void Empty() = 0;

protected:
#if TAMSEL_MSVC_VTABLE
    virtual void* msvcDeletingDestructor(unsigned int flags) = 0; // never called by a plug-in
    ~MIDI_eventlist() = default;
#else
    virtual ~MIDI_eventlist() = default;
#endif
};

// Host-owned MIDI objects are released only through Destroy(), never deleted.
class midi_Input {
public:
#if TAMSEL_MSVC_VTABLE
    virtual void* msvcDeletingDestructor(unsigned int flags) = 0;
#else
    virtual ~midi_Input() = default;
#endif
    virtual void start() = 0;
    virtual void stop() = 0;
    virtual void SwapBufs(unsigned int timestamp_ms) = 0;
    virtual void RunPreNoteTracking(int isAccum) = 0;
    virtual MIDI_eventlist* GetReadBuf() = 0;
    virtual void SwapBufsPrecise(unsigned int coarse_ms, double precise) = 0;
    virtual void Destroy() = 0;

#if TAMSEL_MSVC_VTABLE
protected:
    ~midi_Input() = default;
#endif
};

class midi_Output {
public:
#if TAMSEL_MSVC_VTABLE
    virtual void* msvcDeletingDestructor(unsigned int flags) = 0;
#else
    virtual ~midi_Output() = default;
#endif
    virtual void BeginBlock() = 0;
    virtual void EndBlock(int length, double srate, double curtempo) = 0;
    virtual void SendMsg(MIDI_event_t* msg, int frame_offset) = 0;
    virtual void Send(unsigned char status, unsigned char d1, unsigned char d2, int frame_offset) = 0;
    virtual void Destroy() = 0;

#if TAMSEL_MSVC_VTABLE
protected:
    ~midi_Output() = default;
#endif
};

// The surface interface. Implementations under MinGW must be `final`, run their destructor from
// msvcDeletingDestructor and free themselves when bit 0 of the flags is set.
class IReaperControlSurface {
public:
#if TAMSEL_MSVC_VTABLE
    virtual void* msvcDeletingDestructor(unsigned int flags) = 0;
#else
    virtual ~IReaperControlSurface() = default;
#endif
    virtual const char* GetTypeString() = 0;
    virtual const char* GetDescString() = 0;
    virtual const char* GetConfigString() = 0;
    virtual void CloseNoReset() {}
    virtual void Run() {}
    virtual void SetTrackListChange() {}
    virtual void SetSurfaceVolume(MediaTrack*, double) {}
    virtual void SetSurfacePan(MediaTrack*, double) {}
    virtual void SetSurfaceMute(MediaTrack*, bool) {}
    virtual void SetSurfaceSelected(MediaTrack*, bool) {}
    virtual void SetSurfaceSolo(MediaTrack*, bool) {}
    virtual void SetSurfaceRecArm(MediaTrack*, bool) {}
    virtual void SetPlayState(bool, bool, bool) {}
    virtual void SetRepeatState(bool) {}
    virtual void SetTrackTitle(MediaTrack*, const char*) {}
    virtual bool GetTouchState(MediaTrack*, int) {
        return false;
    }
    virtual void SetAutoMode(int) {}
    virtual void ResetCachedVolPanStates() {}
    virtual void OnTrackSelection(MediaTrack*) {}
    virtual bool IsKeyDown(int) {
        return false;
    }
    virtual int Extended(int, void*, void*, void*) {
        return 0;
    }

#if TAMSEL_MSVC_VTABLE
protected:
    ~IReaperControlSurface() = default;
#endif
};

// Calls a surface may receive through Extended (it answers 0 to those it does not handle).
// RESET: clear all surface state and resend (harder than SetTrackListChange).
constexpr int CSURF_EXT_RESET = 0x0001FFFF;
// MIDI_DEVICE_REMAP: parm1 = is-output (0/1), parm2 = old device index, parm3 = new index, all as integers
// carried in the pointers. A surface using the old index takes the new one and answers 1.
constexpr int CSURF_EXT_MIDI_DEVICE_REMAP = 0x00010099;
// SETFXCHANGE: parm1 = the track whose effects were added, removed or reordered.
constexpr int CSURF_EXT_SETFXCHANGE = 0x00010013;

// MSVC slot indexes, used by the tests that call objects through raw vtables.
namespace abi_slot {
constexpr int kSurfaceCount = 22;
constexpr int kSurfaceGetTypeString = 1;
constexpr int kSurfaceRun = 5;
constexpr int kSurfaceExtended = 21;
} // namespace abi_slot

struct reaper_plugin_info_t {
    int caller_version;
    HWND hwnd_main;
    int (*Register)(const char* name, void* infostruct);
    void* (*GetFunc)(const char* name);
};

struct reaper_csurf_reg_t {
    const char* type_string;
    const char* desc_string;
    IReaperControlSurface* (*create)(const char* type_string, const char* configString, int* errStats);
    HWND (*ShowConfig)(const char* type_string, HWND parent, const char* initConfigString);
};

constexpr int kReaperPluginVersion = 0x20E;

// Actions an extension adds to the host's action list.
struct KbdSectionInfo; // the action list's section; opaque

// Register("custom_action", ...): the host answers the new command's id, or 0. Section 0 is Main.
struct custom_action_register_t {
    int uniqueSectionId;
    const char* idStr; // unique across sections: letters, digits, underscore
    const char* name;  // what the action list shows
    void* extra;
};

// Win32's ACCEL, declared here so portable code can fill it.
struct ReaperAccel {
    unsigned char fVirt;
    unsigned short key;
    unsigned short cmd;
};

// Register("gaccel", ...) of older hosts: puts a command id from Register("command_id", name) in the Main
// list.
struct gaccel_register_t {
    ReaperAccel accel;
    const char* desc;
};

// Register("hookcommand2", ...): true when the command is the extension's own (the host then runs no more).
using HookCommand2Proc = bool (*)(KbdSectionInfo* section, int command, int val, int val2, int relmode,
                                  HWND hwnd);
// Register("toggleaction", ...): -1 not ours or no toggle, 0 off, 1 on.
using ToggleActionProc = int (*)(int command);

#if INTPTR_MAX == INT64_MAX
static_assert(sizeof(reaper_plugin_info_t) == 32, "reaper_plugin_info_t is 32 bytes on x64");
static_assert(offsetof(reaper_plugin_info_t, hwnd_main) == 8, "hwnd_main at 8");
static_assert(offsetof(reaper_plugin_info_t, Register) == 16, "Register at 16");
static_assert(offsetof(reaper_plugin_info_t, GetFunc) == 24, "GetFunc at 24");
static_assert(sizeof(reaper_csurf_reg_t) == 32, "reaper_csurf_reg_t holds four pointers");
static_assert(sizeof(custom_action_register_t) == 32 && offsetof(custom_action_register_t, idStr) == 8,
              "custom_action_register_t layout");
static_assert(sizeof(ReaperAccel) == 6 && offsetof(ReaperAccel, cmd) == 4, "ACCEL layout");
static_assert(sizeof(gaccel_register_t) == 16 && offsetof(gaccel_register_t, desc) == 8,
              "gaccel_register_t layout");
#endif
