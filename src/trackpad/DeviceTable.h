#pragma once

#include "trackpad/DeviceId.h"

#include <algorithm>
#include <type_traits>
#include <utility>
#include <vector>

namespace glidra {

// A per-device table for the frame path: a map by device that keeps what it
// once allocated. Entries sit in a vector sorted by device; an erased value
// is kept aside with its storage (a tracker's point lists) and is the next
// new entry's, assigned by copy so that the lists keep their capacity. With
// the few devices a machine has, a session that opens and closes as the last
// one did allocates nothing.
template <typename T>
class DeviceTable {
public:
    using value_type = std::pair<DeviceId, T>;
    using iterator = typename std::vector<value_type>::iterator;
    using const_iterator = typename std::vector<value_type>::const_iterator;

    iterator begin() { return entries_.begin(); }
    iterator end() { return entries_.end(); }
    const_iterator begin() const { return entries_.begin(); }
    const_iterator end() const { return entries_.end(); }
    bool empty() const { return entries_.empty(); }
    std::size_t size() const { return entries_.size(); }

    iterator find(DeviceId device) {
        const auto it = lowerBound(device);
        return it != entries_.end() && it->first == device ? it : entries_.end();
    }
    const_iterator find(DeviceId device) const {
        const auto it = std::lower_bound(entries_.begin(), entries_.end(), device,
                                         [](const value_type& entry, DeviceId key) { return entry.first < key; });
        return it != entries_.end() && it->first == device ? it : entries_.end();
    }
    bool contains(DeviceId device) const { return find(device) != end(); }
    // The same devices with equal values; what is kept aside does not count.
    friend bool operator==(const DeviceTable& a, const DeviceTable& b) { return a.entries_ == b.entries_; }
    T& at(DeviceId device) { return find(device)->second; }
    const T& at(DeviceId device) const { return find(device)->second; }

    // The device's value; a fresh one (as default-constructed) when it had none.
    T& operator[](DeviceId device) {
        const auto it = lowerBound(device);
        if (it != entries_.end() && it->first == device) return it->second;
        static const T fresh{};
        return insertAt(it, device, fresh)->second;
    }

    // Assigns by copy, so the entry keeps the storage it had.
    void insert_or_assign(DeviceId device, const T& value) {
        const auto it = lowerBound(device);
        if (it != entries_.end() && it->first == device) {
            it->second = value;
        } else {
            insertAt(it, device, value);
        }
    }

    void erase(iterator it) {
        spares_.push_back(std::move(it->second));
        entries_.erase(it);
    }
    void erase(DeviceId device) {
        if (const auto it = find(device); it != entries_.end()) erase(it);
    }
    void clear() {
        for (auto& entry : entries_) spares_.push_back(std::move(entry.second));
        entries_.clear();
    }

private:
    iterator lowerBound(DeviceId device) {
        return std::lower_bound(entries_.begin(), entries_.end(), device,
                                [](const value_type& entry, DeviceId key) { return entry.first < key; });
    }

    iterator insertAt(iterator at, DeviceId device, const T& value) {
        if (spares_.empty()) return entries_.insert(at, value_type(device, value));
        T reused = std::move(spares_.back());
        spares_.pop_back();
        reused = value;
        return entries_.insert(at, value_type(device, std::move(reused)));
    }

    std::vector<value_type> entries_;
    std::vector<T> spares_;
};

// The set of devices in some state, a sorted vector that keeps its capacity.
class DeviceSet {
public:
    using const_iterator = std::vector<DeviceId>::const_iterator;

    const_iterator begin() const { return devices_.begin(); }
    const_iterator end() const { return devices_.end(); }
    bool empty() const { return devices_.empty(); }
    std::size_t size() const { return devices_.size(); }
    bool contains(DeviceId device) const { return std::binary_search(devices_.begin(), devices_.end(), device); }
    // Whether the device was not in the set before.
    bool insert(DeviceId device) {
        const auto it = std::lower_bound(devices_.begin(), devices_.end(), device);
        if (it != devices_.end() && *it == device) return false;
        devices_.insert(it, device);
        return true;
    }
    void erase(DeviceId device) {
        const auto it = std::lower_bound(devices_.begin(), devices_.end(), device);
        if (it != devices_.end() && *it == device) devices_.erase(it);
    }
    void clear() { devices_.clear(); }

private:
    std::vector<DeviceId> devices_;
};

}  // namespace glidra
