// Class list and instance creation of the module's factory.
#include "PluginFactory.h"

#include "pluginterfaces/base/ustring.h"

#include <cstring>
#include <mutex>

namespace Steinberg {

IPluginFactory* gPluginFactory = nullptr;

namespace {
std::mutex moduleFactoryMutex; // constexpr-constructed: no code runs when the module loads
}

IPluginFactory* shareModuleFactory (CPluginFactory* (*create) ())
{
    std::lock_guard<std::mutex> lock (moduleFactoryMutex);
    // A factory whose count reached 0 still waits for this lock in its destructor, so reading its
    // count here is safe; it must not be handed out again.
    if (auto* shared = static_cast<CPluginFactory*> (gPluginFactory); shared && shared->addRefIfAlive ())
        return shared;
    CPluginFactory* made = create ? create () : nullptr;
    gPluginFactory = made;
    return made;
}

CPluginFactory::CPluginFactory (const PFactoryInfo& info)
: factoryInfo (info)
{
}

CPluginFactory::~CPluginFactory ()
{
    std::lock_guard<std::mutex> lock (moduleFactoryMutex);
    if (gPluginFactory == this)
        gPluginFactory = nullptr;
}

bool CPluginFactory::addRefIfAlive ()
{
    int32 count = refCount.load (std::memory_order_relaxed);
    while (count > 0)
        if (refCount.compare_exchange_weak (count, count + 1, std::memory_order_relaxed))
            return true;
    return false;
}

bool CPluginFactory::registerClass (const PClassInfo2& info, CreateFunc createFunc, void* context)
{
    if (!createFunc || classCount >= kMaxClasses)
        return false;
    classes[classCount] = ClassEntry {info, createFunc, context};
    ++classCount;
    return true;
}

bool CPluginFactory::isClassRegistered (const FUID& cid) const
{
    for (int32 i = 0; i < classCount; ++i)
        if (FUnknownPrivate::iidEqual (classes[i].info.cid, cid.toTUID ()))
            return true;
    return false;
}

tresult PLUGIN_API CPluginFactory::getFactoryInfo (PFactoryInfo* info)
{
    if (!info)
        return kInvalidArgument;
    std::memcpy (info, &factoryInfo, sizeof (PFactoryInfo));
    return kResultOk;
}

int32 PLUGIN_API CPluginFactory::countClasses ()
{
    return classCount;
}

tresult PLUGIN_API CPluginFactory::getClassInfo (int32 index, PClassInfo* info)
{
    if (!info || index < 0 || index >= classCount)
        return kInvalidArgument;
    const PClassInfo2& c = classes[index].info;
    *info = PClassInfo {};
    std::memcpy (info->cid, c.cid, sizeof (TUID));
    info->cardinality = c.cardinality;
    std::memcpy (info->category, c.category, sizeof (info->category));
    std::memcpy (info->name, c.name, sizeof (info->name));
    return kResultOk;
}

tresult PLUGIN_API CPluginFactory::getClassInfo2 (int32 index, PClassInfo2* info)
{
    if (!info || index < 0 || index >= classCount)
        return kInvalidArgument;
    std::memcpy (info, &classes[index].info, sizeof (PClassInfo2));
    return kResultOk;
}

tresult PLUGIN_API CPluginFactory::getClassInfoUnicode (int32 index, PClassInfoW* info)
{
    if (!info || index < 0 || index >= classCount)
        return kInvalidArgument;
    info->fromAscii (classes[index].info);
    return kResultOk;
}

tresult PLUGIN_API CPluginFactory::createInstance (FIDString cid, FIDString iid, void** obj)
{
    if (!obj)
        return kInvalidArgument;
    *obj = nullptr;
    if (!cid || !iid)
        return kInvalidArgument;
    for (int32 i = 0; i < classCount; ++i)
    {
        if (!FUnknownPrivate::iidEqual (classes[i].info.cid, cid))
            continue;
        FUnknown* instance = classes[i].createFunc (classes[i].context);
        if (!instance)
            return kOutOfMemory;
        // The host holds the reference that queryInterface adds; ours goes away either way.
        tresult result = instance->queryInterface (iid, obj);
        instance->release ();
        if (result != kResultOk)
            *obj = nullptr;
        return result == kResultOk ? kResultOk : kNoInterface;
    }
    return kNoInterface;
}

tresult PLUGIN_API CPluginFactory::setHostContext (FUnknown* /*context*/)
{
    return kNotImplemented;
}

tresult PLUGIN_API CPluginFactory::queryInterface (const TUID iid, void** obj)
{
    if (!obj)
        return kInvalidArgument;
    QUERY_INTERFACE (iid, obj, IPluginFactory::iid, IPluginFactory)
    QUERY_INTERFACE (iid, obj, IPluginFactory2::iid, IPluginFactory2)
    QUERY_INTERFACE (iid, obj, IPluginFactory3::iid, IPluginFactory3)
    QUERY_INTERFACE (iid, obj, FUnknown::iid, IPluginFactory)
    *obj = nullptr;
    return kNoInterface;
}

uint32 PLUGIN_API CPluginFactory::addRef ()
{
    return static_cast<uint32> (refCount.fetch_add (1, std::memory_order_relaxed) + 1);
}

uint32 PLUGIN_API CPluginFactory::release ()
{
    // acq_rel: whoever deletes sees every other holder's last use of the factory.
    const int32 left = refCount.fetch_sub (1, std::memory_order_acq_rel) - 1;
    if (left == 0)
    {
        delete this;
        return 0;
    }
    return static_cast<uint32> (left);
}

} // namespace Steinberg
