#include "modregistry.h"

namespace modRegistry {

OpenKey OpenKeyPath(Root, const QString &keyPath)
{
    return OpenKey { keyPath, store::backend().keyExists(keyPath) };
}

long CreateKey(Root, const QString &keyPath)
{
    return store::backend().createKey(keyPath);
}

long SetKeyValue(Root root, const QString &keyPath, const QString &valueName, const QVariant &value,
                 int type)
{
    const OpenKey key = OpenKeyPath(root, keyPath);
    if (!key.isOpen)
        return store::FileNotFound;
    return WriteValue(key, valueName, type, value);
}

QString GetKeyValue(Root root, const QString &keyPath, const QString &valueName)
{
    const OpenKey key = OpenKeyPath(root, keyPath);
    if (!key.isOpen)
        return {};
    QVariant value;
    if (QueryValue(key, valueName, value) != store::Success)
        return {};
    return value.toString();
}

long WriteValue(const OpenKey &key, const QString &valueName, int type, const QVariant &value)
{
    if (!key.isOpen)
        return store::InvalidParameter;
    switch (type) {
    case REG_SZ:
        return store::backend().setValue(key.path, valueName,
                                         store::Value { store::Type::Text, value.toString(), 0 });
    case REG_DWORD:
        return store::backend().setValue(key.path, valueName,
                                         store::Value { store::Type::Number, {}, value.toInt() });
    default:
        break;
    }
    return store::InvalidParameter;
}

long QueryValue(const OpenKey &key, const QString &valueName, QVariant &value)
{
    value.clear();
    if (!key.isOpen)
        return store::InvalidParameter;
    const std::optional<store::Value> stored = store::backend().value(key.path, valueName);
    if (!stored)
        return store::FileNotFound;
    switch (stored->type) {
    case store::Type::Text:
        value = stored->text;
        return store::Success;
    case store::Type::Number:
        value = stored->number;
        return store::Success;
    }
    return -1;
}

void DeleteKey(Root, const QString &keyPath)
{
    store::backend().deleteKey(keyPath);
}

} // namespace modRegistry

namespace {

QString settingsKey(const QString &subKey)
{
    return subKey.isEmpty() ? modRegistry::SettingsRoot
                            : modRegistry::SettingsRoot + u'\\' + subKey;
}

} // namespace

QString ReadSetting(const QString &subKey, const QString &valueName)
{
    return modRegistry::GetKeyValue(modRegistry::Root::CurrentUser, settingsKey(subKey), valueName);
}

long WriteSetting(const QString &subKey, const QString &valueName, const QString &value, int type)
{
    return modRegistry::SetKeyValue(modRegistry::Root::CurrentUser, settingsKey(subKey), valueName,
                                    value, type);
}
