#include "app/UiTrace.h"

#include "app/DesktopAlert.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QEvent>
#include <QMenu>
#include <QMessageBox>
#include <QStringList>
#include <cstdio>

namespace mnemora {
namespace {

QString OneLine(QString text) {
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\\n"));
    text.replace(u'\n', QStringLiteral("\\n"));
    return text;
}

QString DescribeMenu(const QMenu* menu) {
    QStringList entries;
    for (const QAction* action : menu->actions()) {
        if (action->isSeparator()) {
            entries << QStringLiteral("-");
            continue;
        }
        QString entry = action->text();
        if (const QMenu* sub = action->menu())
            entry += u'{' + DescribeMenu(sub) + u'}';
        else if (action->isCheckable())
            entry += action->isChecked() ? QStringLiteral("[x]") : QStringLiteral("[ ]");
        if (!action->shortcut().isEmpty())
            entry += QStringLiteral(" <%1>").arg(action->shortcut().toString());
        if (!action->isEnabled())
            entry += QStringLiteral("(disabled)");
        entries << entry;
    }
    return entries.join(QStringLiteral(" | "));
}

class CUiTrace final : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Show && watched->isWidgetType()) {
            const auto* widget = static_cast<const QWidget*>(watched);
            if (widget->isWindow())
                Print(Describe(widget));
        }
        return false;
    }

private:
    static QString Describe(const QWidget* window) {
        if (const auto* menu = qobject_cast<const QMenu*>(window))
            return QStringLiteral("menu %1: %2").arg(menu->title(), DescribeMenu(menu));
        if (const auto* box = qobject_cast<const QMessageBox*>(window))
            return QStringLiteral("message %1: %2").arg(box->windowTitle(), OneLine(box->text()));
        if (const auto* alert = qobject_cast<const CDesktopAlert*>(window))
            return QStringLiteral("alert %1: %2").arg(alert->Caption(), OneLine(alert->Text()));
        if (qobject_cast<const QDialog*>(window) != nullptr)
            return QStringLiteral("dialog %1").arg(window->windowTitle());
        return QString();
    }

    static void Print(const QString& line) {
        if (line.isEmpty())
            return;
        // UTF-8 whatever the locale, and flushed at once: the reader polls the stream.
        std::fprintf(stderr, "ui-trace: %s\n", line.toUtf8().constData());
        std::fflush(stderr);
    }
};

} // namespace

bool UiTraceOn() {
    static const bool on = qEnvironmentVariableIsSet("MNEMORA_TRACE_UI");
    return on;
}

void PrintUiTrace(const QString& line) {
    if (!UiTraceOn() || line.isEmpty())
        return;
    std::fprintf(stderr, "ui-trace: %s\n", OneLine(line).toUtf8().constData());
    std::fflush(stderr);
}

void InstallUiTraceIfRequested(QApplication& app) {
    if (qEnvironmentVariableIsSet("MNEMORA_TRACE_UI"))
        app.installEventFilter(new CUiTrace(&app));
}

} // namespace mnemora
