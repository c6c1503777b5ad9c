#pragma once

#include <QVariant>
#include <optional>

// The test profile's [MRV-508_Section], read and written behind the tool's back.
void WriteProfileValue(const char* key, const QVariant& value);
// The stored value of a key, or nothing when the key was never written.
std::optional<int> StoredProfileInt(const char* key);
QByteArray ProfileBytes();
void WriteProfileBytes(const QByteArray& text);
// Empties the profile but for [Ports], which maps every COM name to a path that does not exist.
void ClearProfile();
QString UnmappedPortPath(int comNumber);

// Every test of the link starts from a stopped link, an empty profile, no recorded boxes and
// the settings at their defaults.
void ResetLinkAndProfile();
