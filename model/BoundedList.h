#pragma once

#include <memory>
#include <vector>

// An owning list with a fixed capacity, as the module library's records keep
// them: the capacity is known before the entries (from the file, or fixed),
// and an entry beyond it is refused rather than stored or overwriting another.
template <typename T>
class BoundedList
{
public:
    explicit BoundedList (int initialCapacity = 0) { setCapacity (initialCapacity); }

    void setCapacity (int newCapacity) noexcept { capacity = newCapacity > 0 ? newCapacity : 0; }
    int getCapacity() const noexcept { return capacity; }

    int size() const noexcept { return (int) items.size(); }
    bool isEmpty() const noexcept { return items.empty(); }
    bool isFull() const noexcept { return size() >= capacity; }

    // The stored entry, or none when the list is full.
    T* add (std::unique_ptr<T> item)
    {
        if (item == nullptr || isFull())
            return nullptr;

        items.push_back (std::move (item));
        return items.back().get();
    }

    // The entry at the index, or none out of range.
    T* operator[] (int index) const noexcept { return index >= 0 && index < size() ? items[(size_t) index].get() : nullptr; }

    // The stored entry at the index (clamped into the list), or none when
    // the list is full.
    T* insert (int index, std::unique_ptr<T> item)
    {
        if (item == nullptr || isFull())
            return nullptr;

        index = index < 0 ? 0 : (index > size() ? size() : index);
        return items.insert (items.begin() + index, std::move (item))->get();
    }

    // The position of the entry, or -1 when it is not held (or none).
    int indexOf (const T* item) const noexcept
    {
        for (size_t i = 0; i < items.size(); ++i)
            if (item != nullptr && items[i].get() == item)
                return (int) i;

        return -1;
    }

    T* getLast() const noexcept { return items.empty() ? nullptr : items.back().get(); }

    void remove (int index)
    {
        if (index >= 0 && index < size())
            items.erase (items.begin() + index);
    }

    void clear() noexcept { items.clear(); }

    auto begin() const noexcept { return items.begin(); }
    auto end() const noexcept { return items.end(); }

private:
    std::vector<std::unique_ptr<T>> items;
    int capacity = 0;
};
