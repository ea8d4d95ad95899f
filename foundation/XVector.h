#pragma once

#include <cstdlib>
#include <cstring>

#include "XException.h"

// Growable array of element pointers. It does not own its elements: owners
// delete them (DeleteAll does that for owners that want it). With a comparator
// the vector stays sorted through InsertSorted and Find searches by key.
template <class T> class XVector
{
public:
    using Comparator = int (*)(const T*, const T*);

    explicit XVector(int growthStep = 1, Comparator comparator = nullptr)
        : step_(growthStep > 0 ? growthStep : 1), comparator_(comparator)
    {
    }
    XVector(const XVector& other) : step_(other.step_), comparator_(other.comparator_) { CopyFrom(other); }
    XVector& operator=(const XVector& other)
    {
        if (this != &other)
        {
            Clear();
            step_ = other.step_;
            comparator_ = other.comparator_;
            CopyFrom(other);
        }
        return *this;
    }
    virtual ~XVector() { std::free(items_); }

    void SetGrowthStep(int growthStep) { step_ = growthStep > 0 ? growthStep : 1; }
    int GrowthStep() const { return step_; }
    void SetComparator(Comparator comparator) { comparator_ = comparator; }
    Comparator GetComparator() const { return comparator_; }

    int Count() const { return count_; }
    int Capacity() const { return capacity_; }
    bool IsEmpty() const { return count_ == 0; }
    T* At(int index) const { return items_[index]; }
    T* operator[](int index) const { return items_[index]; }
    T* const* begin() const { return items_; }
    T* const* end() const { return items_ + count_; }

    // Places the element last; returns its index.
    int Append(T* element)
    {
        Grow();
        items_[count_] = element;
        return count_++;
    }

    // An index at or past the count appends; returns the index used.
    int Insert(int index, T* element)
    {
        if (index < 0)
            index = 0;
        if (index >= count_)
            return Append(element);
        Grow();
        std::memmove(items_ + index + 1, items_ + index, sizeof(T*) * (count_ - index));
        items_[index] = element;
        ++count_;
        return index;
    }

    // After every element that compares equal, before the first greater one.
    int InsertSorted(T* element)
    {
        if (!comparator_)
            return Append(element);
        int low = 0, high = count_;
        while (low < high)
        {
            int mid = (low + high) / 2;
            if (comparator_(items_[mid], element) <= 0)
                low = mid + 1;
            else
                high = mid;
        }
        return Insert(low, element);
    }

    // With a comparator: binary search for the first element equal to key,
    // index gets where the search stopped (the insertion point when absent).
    // Without: the same pointer. Returns the element found or nullptr (index -1).
    T* Find(const T* key, int* index = nullptr) const
    {
        if (comparator_)
        {
            int low = 0, high = count_;
            while (low < high)
            {
                int mid = (low + high) / 2;
                if (comparator_(items_[mid], key) < 0)
                    low = mid + 1;
                else
                    high = mid;
            }
            if (index)
                *index = low;
            return (low < count_ && comparator_(items_[low], key) == 0) ? items_[low] : nullptr;
        }
        for (int i = 0; i < count_; ++i)
        {
            if (items_[i] == key)
            {
                if (index)
                    *index = i;
                return items_[i];
            }
        }
        if (index)
            *index = -1;
        return nullptr;
    }

    // Removes the slot and returns its element (not deleted); nullptr for a bad index.
    T* RemoveAt(int index)
    {
        if (index < 0 || index >= count_)
            return nullptr;
        T* element = items_[index];
        std::memmove(items_ + index, items_ + index + 1, sizeof(T*) * (count_ - index - 1));
        --count_;
        if (count_ == 0)
        {
            std::free(items_);
            items_ = nullptr;
            capacity_ = 0;
        }
        else if (count_ <= capacity_ - step_)
        {
            Resize(capacity_ - step_);
        }
        return element;
    }

    // Removes the first slot holding this pointer; false when absent.
    bool Remove(const T* element)
    {
        for (int i = 0; i < count_; ++i)
        {
            if (items_[i] == element)
            {
                RemoveAt(i);
                return true;
            }
        }
        return false;
    }

    // Drops every slot; elements are left alone.
    void Clear()
    {
        std::free(items_);
        items_ = nullptr;
        capacity_ = 0;
        count_ = 0;
    }

    // For owners: deletes every element, then clears.
    void DeleteAll()
    {
        for (int i = 0; i < count_; ++i)
            delete items_[i];
        Clear();
    }

private:
    void Grow()
    {
        if (count_ < capacity_)
            return;
        if (!items_)
        {
            items_ = static_cast<T**>(std::malloc(sizeof(T*) * step_));
            if (!items_)
                throw XException("Failed to allocate memory.");
            capacity_ = step_;
        }
        else
        {
            Resize(capacity_ + step_);
        }
    }
    void Resize(int capacity)
    {
        T** grown = static_cast<T**>(std::realloc(items_, sizeof(T*) * capacity));
        if (!grown)
            throw XException("Failed to reallocate memory.");
        items_ = grown;
        capacity_ = capacity;
    }
    void CopyFrom(const XVector& other)
    {
        for (int i = 0; i < other.count_; ++i)
            Append(other.items_[i]);
    }

    T** items_ = nullptr;
    int step_ = 1;
    int capacity_ = 0;
    int count_ = 0;
    Comparator comparator_ = nullptr;
};
