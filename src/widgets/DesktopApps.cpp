#include "DesktopApps.h"

#include <QDir>
#include <QFileInfo>
#include <QUrl>

// GLib's headers use "signals" as a name, which Qt defines as a keyword.
#pragma push_macro("signals")
#undef signals
#include <gio/gio.h>
#pragma pop_macro("signals")

namespace prolis {

namespace {
QString takeMessage(GError* error, const QString& fallback) {
    if (!error) return fallback;
    const QString text = QString::fromUtf8(error->message);
    g_error_free(error);
    return text;
}
} // namespace

QString defaultApplicationFor(const QString& mimeType) {
    gchar* type = g_content_type_from_mime_type(mimeType.toUtf8().constData());
    GAppInfo* app = type ? g_app_info_get_default_for_type(type, FALSE) : nullptr;
    g_free(type);
    if (!app) return {};
    const QString name =
        QString::fromUtf8(g_app_info_get_id(app) ? g_app_info_get_id(app) : g_app_info_get_name(app));
    g_object_unref(app);
    return name;
}

QString openWithDefaultApplication(const QString& target, const QString& mimeType) {
    GError* error = nullptr;
    const QUrl url = QUrl::fromUserInput(target, QDir::currentPath(), QUrl::AssumeLocalFile);
    if (!url.isLocalFile() || mimeType.isEmpty()) {
        if (g_app_info_launch_default_for_uri(url.toEncoded().constData(), nullptr, &error)) return {};
        return takeMessage(error, QStringLiteral("no application"));
    }
    // The application the question about the type named: asked once.
    gchar* type = g_content_type_from_mime_type(mimeType.toUtf8().constData());
    GAppInfo* app = type ? g_app_info_get_default_for_type(type, FALSE) : nullptr;
    g_free(type);
    if (!app) return QStringLiteral("no application for %1").arg(mimeType);
    GFile* file =
        g_file_new_for_path(QFile::encodeName(QFileInfo(url.toLocalFile()).absoluteFilePath()).constData());
    GList* files = g_list_append(nullptr, file);
    const gboolean started = g_app_info_launch(app, files, nullptr, &error);
    g_list_free(files);
    g_object_unref(file);
    g_object_unref(app);
    return started ? QString() : takeMessage(error, QStringLiteral("the application did not start"));
}

} // namespace prolis
