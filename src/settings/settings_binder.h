// One routine per settings group both loads and saves: the binder reads each key
// into its field (the field's current value being the default) or writes the
// field, so the key list of a group is written once.
#pragma once

#include <cmath>
#include <cstdint>
#include <limits>
#include <string>
#include <string_view>

#include "settings/settings_store.h"

namespace varnel {

class SettingsBinder {
public:
    SettingsBinder(SettingsStore& store, bool save) : m_store(store), m_save(save) {}

    bool Saving() const { return m_save; }
    void Section(std::string_view section) { m_store.SelectSection(section); }

    void Text(std::string_view key, std::string& value) {
        if (m_save) m_store.WriteText(key, value);
        else value = m_store.ReadText(key, value);
    }
    void Bool(std::string_view key, bool& value) {
        if (m_save) m_store.WriteBool(key, value);
        else value = m_store.ReadBool(key, value);
    }
    void Number(std::string_view key, double& value) {
        if (m_save) m_store.WriteNumber(key, value);
        else value = m_store.ReadNumber(key, value);
    }
    // Integers read the number's whole part, saturated at the type's range.
    template <typename Int>
    void Number(std::string_view key, Int& value) {
        if (m_save) {
            m_store.WriteNumber(key, static_cast<double>(value));
            return;
        }
        const double read = m_store.ReadNumber(key, static_cast<double>(value));
        value = ToInteger<Int>(read);
    }

    template <typename Int>
    static Int ToInteger(double value) {
        if (std::isnan(value)) return 0;
        constexpr double low = static_cast<double>(std::numeric_limits<Int>::min());
        constexpr double high = static_cast<double>(std::numeric_limits<Int>::max());
        if (value <= low) return std::numeric_limits<Int>::min();
        if (value >= high) return std::numeric_limits<Int>::max();
        return static_cast<Int>(std::trunc(value));
    }

private:
    SettingsStore& m_store;
    bool m_save;
};

}  // namespace varnel
