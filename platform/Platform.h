// Kernel services the plug-in needs from the operating system: named manual-reset
// events, named mutexes, critical sections, interruptible waits, sleeps, threads with a
// chosen stack size, ANSI code-page conversion and debug output.
//
// On Windows these are thin wrappers over the Win32 calls; elsewhere a portable backend
// gives the same semantics, including the one that matters most for the plug-in: two
// events created under the same name in one process are the same event, and the object
// lives until its last handle is closed.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "platform/TimeScale.h"

namespace marl::platform {

constexpr uint32_t kInfinite = 0xFFFFFFFFu;

enum class WaitResult { Signalled, TimedOut, Failed };

// Manual-reset or auto-reset event. A null or empty name gives an unnamed event. When an
// event of the same name already exists in the process, the new handle refers to it and
// the initial state is ignored, as Windows does.
class Event {
public:
    Event(const char* name, bool manualReset, bool initiallySignalled);
    ~Event();
    Event(const Event&) = delete;
    Event& operator=(const Event&) = delete;

    bool Valid() const;
    void Set();
    void Reset();
    bool IsSignalled() const;          // non-consuming peek, also for auto-reset events
    WaitResult Wait(uint32_t timeoutMs);

    struct Impl;
    Impl* impl() const { return impl_; }

private:
    Impl* impl_;
};

// Waits until one of the events is signalled or the time-out passes. Returns the index
// of the signalled event (the lowest when several are), or -1 on time-out or failure.
int WaitAny(Event* const* events, int count, uint32_t timeoutMs);

// Named mutex with the Windows recursive-ownership semantics: the owning thread may take
// it again and must release it as often.
class NamedMutex {
public:
    NamedMutex(const char* name, bool initiallyOwned);
    ~NamedMutex();
    NamedMutex(const NamedMutex&) = delete;
    NamedMutex& operator=(const NamedMutex&) = delete;

    bool Valid() const;
    WaitResult Lock(uint32_t timeoutMs);
    void Unlock();

    struct Impl;

private:
    Impl* impl_;
};

// Recursive in-process lock, as a Win32 critical section.
class CriticalSection {
public:
    CriticalSection();
    ~CriticalSection();
    CriticalSection(const CriticalSection&) = delete;
    CriticalSection& operator=(const CriticalSection&) = delete;

    void Enter();
    void Leave();
    bool TryEnter();

    struct Impl;

private:
    Impl* impl_;
};

class CsLock {
public:
    explicit CsLock(CriticalSection& cs) : cs_(cs) { cs_.Enter(); }
    ~CsLock() { cs_.Leave(); }
    CsLock(const CsLock&) = delete;
    CsLock& operator=(const CsLock&) = delete;

private:
    CriticalSection& cs_;
};

// Waits, sleeps and the tick follow the time scale for tests (platform/TimeScale.h).
void SleepMs(uint32_t ms);

// Milliseconds since some fixed point, wrapping at 2^32; compare by unsigned difference.
uint32_t TickCountMs();

// A joinable thread started with a given stack size (0 = platform default).
class Thread {
public:
    Thread() = default;
    ~Thread();  // joins when still joinable, so no thread outlives its owner
    Thread(const Thread&) = delete;
    Thread& operator=(const Thread&) = delete;

    bool Start(std::function<void()> body, uint32_t stackSize);
    bool Joinable() const;
    void Join();
    bool IsCurrent() const;  // true when called on this thread

    struct Impl;

private:
    Impl* impl_ = nullptr;
};

// ANSI code-page conversions with the semantics of WideCharToMultiByte and
// MultiByteToWideChar: srcLen -1 converts up to and including the terminator; the result
// is the number of units written, 0 on failure (also when the destination is too small,
// in which case the destination may be partly written). A destination capacity of 0
// asks for the size needed. Unconvertible wide characters become the default character
// '?' and set *usedDefault when it is given. Where the platform has no code pages the
// ANSI code page is Latin-1 (code points 0 to 255 map to themselves).
int WideToAnsi(const wchar_t* src, int srcLen, char* dst, int dstCap, bool* usedDefault);
int AnsiToWide(const char* src, int srcLen, wchar_t* dst, int dstCap);

// Where the host's installation lives. The host names its files by absolute device
// paths such as "\\Hard Disk\\Brakk\\Zorv\\Ini\\AppConfig.ini". When the environment
// variable MARL_HOST_ROOT names a folder, such a path is placed under that folder (this
// is how a workstation or a test mounts a copy of the device's file tree); otherwise it
// is left as it is on Windows and rooted at "/" elsewhere. Backslashes become the
// platform's separator.
std::string HostPath(const char* devicePath);

// Platform debug output (OutputDebugStringW on Windows, standard error elsewhere when
// MARL_DEBUG_OUTPUT is set in the environment, else discarded).
void DebugOutput(const wchar_t* text);

}  // namespace marl::platform
