// State of an in-process COM server module: its instance handle and the count of
// live objects and server locks that DllCanUnloadNow consults. These are the only
// process-wide values a server keeps; the platform requires them.
#pragma once

#include <windows.h>

#include <string>

namespace ComModule {

// Called from DllMain on DLL_PROCESS_ATTACH.
void SetInstance(HINSTANCE instance);
HINSTANCE Instance();
// Full path of the module's own file (for registration and for loading its type library).
std::wstring FilePath();

void Lock();
void Unlock();
bool CanUnload();

// Keeps the module loaded while an object lives: a member of every COM object.
class ObjectLock {
public:
    ObjectLock() { Lock(); }
    ~ObjectLock() { Unlock(); }
    ObjectLock(const ObjectLock&) = delete;
    ObjectLock& operator=(const ObjectLock&) = delete;
};

}  // namespace ComModule
