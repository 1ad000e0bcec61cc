// The module's class factory: a fixed list of classes, each with its info and create function.
// Rebuilt here because Debian's copy of the VST 3 SDK does not ship it.
#pragma once

#include "pluginterfaces/base/ipluginbase.h"

#include <atomic>

namespace Steinberg {

class CPluginFactory : public IPluginFactory3
{
public:
    using CreateFunc = FUnknown* (*) (void* context);
    static constexpr int32 kMaxClasses = 8;

    explicit CPluginFactory (const PFactoryInfo& info);
    virtual ~CPluginFactory ();

    /** Adds a class; false when the list is full or createFunc is null. */
    bool registerClass (const PClassInfo2& info, CreateFunc createFunc, void* context = nullptr);
    bool isClassRegistered (const FUID& cid) const;

    //--- IPluginFactory3 -------------------------------------------------------------------------
    tresult PLUGIN_API getFactoryInfo (PFactoryInfo* info) SMTG_OVERRIDE;
    int32 PLUGIN_API countClasses () SMTG_OVERRIDE;
    tresult PLUGIN_API getClassInfo (int32 index, PClassInfo* info) SMTG_OVERRIDE;
    tresult PLUGIN_API createInstance (FIDString cid, FIDString iid, void** obj) SMTG_OVERRIDE;
    tresult PLUGIN_API getClassInfo2 (int32 index, PClassInfo2* info) SMTG_OVERRIDE;
    tresult PLUGIN_API getClassInfoUnicode (int32 index, PClassInfoW* info) SMTG_OVERRIDE;
    tresult PLUGIN_API setHostContext (FUnknown* context) SMTG_OVERRIDE;

    //--- FUnknown ----------------------------------------------------------------------------------
    tresult PLUGIN_API queryInterface (const TUID iid, void** obj) SMTG_OVERRIDE;
    uint32 PLUGIN_API addRef () SMTG_OVERRIDE;
    uint32 PLUGIN_API release () SMTG_OVERRIDE;

private:
    struct ClassEntry
    {
        PClassInfo2 info;
        CreateFunc createFunc = nullptr;
        void* context = nullptr;
    };

    /** Adds a reference unless the count already reached 0 (the factory is being destroyed). */
    bool addRefIfAlive ();

    friend IPluginFactory* shareModuleFactory (CPluginFactory* (*create) ());

    std::atomic<int32> refCount {1};
    PFactoryInfo factoryInfo;
    ClassEntry classes[kMaxClasses] {};
    int32 classCount = 0;
};

/** The module-wide factory; cleared when the factory is destroyed. Guarded by a module-wide lock
    that shareModuleFactory and the factory's destructor take. */
extern IPluginFactory* gPluginFactory;

/** Any thread: the module-wide factory with a reference added for the caller, or, when there is
    none (or the last one is being released right now), a new one made by `create` and published.
    Safe against concurrent callers and against the last release running on another thread. */
IPluginFactory* shareModuleFactory (CPluginFactory* (*create) ());

} // namespace Steinberg
