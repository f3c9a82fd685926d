// A speech module built for another version of the interface. The loader has to refuse it
// from its metadata alone: its root object ends the test if it is ever made.
#include <QObject>
#include <QtPlugin>

class COtherVersionModule final : public QObject {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID "io.github.mnemora.SpeechModule/0")

public:
    COtherVersionModule() { qFatal("the code of a module of another version ran"); }
};

#include "OtherVersionModule.moc"
