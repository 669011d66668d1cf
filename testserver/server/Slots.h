// Per-type storage that later command families hang their own state on, without a central edit.
#pragma once
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <type_traits>
#include <typeindex>

namespace tovisrv {

// Slot<T>() makes a T on first use and returns the same object afterwards; the reference
// stays valid for the owner's lifetime. The slot map is locked; T guards its own data.
// ResetAll() calls T::Reset() on every slot whose type has one.
class CSlots {
public:
    template <class T>
    T& Slot()
    {
        std::lock_guard<std::mutex> guard(m_lock);
        Entry& entry = m_entries[std::type_index(typeid(T))];
        if (!entry.object) {
            auto object = std::make_shared<T>();
            if constexpr (HasReset<T>::value) {
                T* raw = object.get();
                entry.reset = [raw] { raw->Reset(); };
            }
            entry.object = object;
        }
        return *static_cast<T*>(entry.object.get());
    }

    void ResetAll()
    {
        std::lock_guard<std::mutex> guard(m_lock);
        for (auto& [type, entry] : m_entries)
            if (entry.reset)
                entry.reset();
    }

private:
    template <class T, class = void>
    struct HasReset : std::false_type {};
    template <class T>
    struct HasReset<T, std::void_t<decltype(std::declval<T&>().Reset())>> : std::true_type {};

    struct Entry {
        std::shared_ptr<void> object;
        std::function<void()> reset;
    };
    std::mutex m_lock;
    std::map<std::type_index, Entry> m_entries;
};

}
