// Per-thread wrappers made on demand by FromHandle for handles nobody wrapped yet.
#pragma once
#include "ThreadExit.h"
#include <memory>
#include <unordered_map>

// TObject provides AttachTemporary/DetachTemporary (set and drop the handle without taking
// ownership). Each thread keeps its own table, so no locking is needed. A wrapper stays valid until the
// thread ends or calls Clear() (the framework does so when its message loop goes idle); the
// wrappers never own their handle, so dropping them frees no Windows object.
template <class TObject, class THandle>
class CTempHandleMap {
public:
    static TObject* Get(THandle handle)
    {
        if (handle == nullptr)
            return nullptr;
        auto& objects = Table().objects;
        auto found = objects.find(handle);
        if (found != objects.end())
            return found->second.get();
        std::unique_ptr<TObject> object(new TObject);
        object->AttachTemporary(handle);
        TObject* result = object.get();
        objects.emplace(handle, std::move(object));
        return result;
    }

    static void Clear() { Table().clear(); }

private:
    struct Objects {
        std::unordered_map<THandle, std::unique_ptr<TObject>> objects;
        ~Objects()
        {
            for (auto& entry : objects)
                entry.second->DetachTemporary();
        }
        void clear()
        {
            for (auto& entry : objects)
                entry.second->DetachTemporary();
            objects.clear();
        }
    };
    static Objects& Table()
    {
        // A thread_local pointer, not a thread_local object: a thread_local object with a
        // destructor in a template hangs the process at thread exit with this toolchain.
        thread_local Objects* table = nullptr;
        if (table == nullptr) {
            table = new Objects;
            FwAtThreadExit([](void* p) {
                delete static_cast<Objects*>(p);
                table = nullptr;
            }, table);
        }
        return *table;
    }
};
