// The options sheet: what its pages show for the stored settings, the autostart box, the
// checks on the two times, and what OK and Cancel store and ask of the float window.
#include "RecordingMessageBox.h"
#include "TestData.h"
#include "settings/SettingsFile.h"
#include "settings/ui/AutostartPort.h"
#include "settings/ui/MyPropertySheet.h"
#include "settings/ui/NumberSpinBox.h"
#include "settings/ui/OptionsHost.h"
#include "settings/ui/SetPage.h"
#include "settings/ui/WordPage.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

using namespace mnemora;

namespace {
// What the sheet asks of the float window and of the autostart entry, in order.
struct FakeHost final : IOptionsHost, IAutostart {
    void ShowFloatWindow() override { calls << "show"; }
    void SetAlphaLive(int alpha) override { calls << QString("alpha %1").arg(alpha); }
    void ChangeWordList(int category, int index) override {
        calls << QString("list %1 %2").arg(category).arg(index);
    }
    bool IsRegistered() override { return registered; }
    void Register() override { calls << "register", registered = true; }
    void Unregister() override { calls << "unregister", registered = false; }
    bool registered = false;
    QStringList calls;
};
void Type(CNumberSpinBox* field, const QString& text) {
    field->selectAll();
    QTest::keyClick(field, Qt::Key_Delete);
    QTest::keyClicks(field, text);
}
} // namespace

class TestOptions : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    QString path_;
    FakeHost host_;
    RecordingMessageBox messages_;
    std::unique_ptr<CMyPropertySheet> sheet_;

    QByteArray FileText() { return testdata::ReadFile(path_, "<missing>"); }
    // A fresh sheet on the given settings (none when empty) and autostart entry.
    CMyPropertySheet& Open(const QByteArray& stored = QByteArray(), bool registered = false) {
        sheet_.reset();
        QFile::remove(path_);
        if (!stored.isEmpty())
            testdata::WriteFile(path_, stored);
        host_ = FakeHost();
        host_.registered = registered;
        messages_.shown.clear();
        sheet_ = std::make_unique<CMyPropertySheet>(host_, host_, messages_);
        sheet_->open();
        return *sheet_;
    }
    CSetPage& Basic() { return sheet_->SetPage(); }
    CWordPage& Words() { return sheet_->WordPage(); }
    void ToPage(int row) { sheet_->Navigation()->setCurrentRow(row); }
    void Press(QDialogButtonBox::StandardButton which) {
        QTest::mouseClick(sheet_->Buttons()->button(which), Qt::LeftButton);
    }
    void TypeTimes(const char* elapse, const QString& delay) { // no elapse: the stored one stays
        if (elapse != nullptr)
            Type(Basic().WordElapseEdit(), elapse);
        Type(Basic().DelayChnEdit(), delay);
    }

private slots:
    void initTestCase() {
        QVERIFY(dir_.isValid());
        path_ = dir_.filePath("mnemora.ini");
        OverrideSettingsPath(path_);
    }
    void cleanup() { sheet_.reset(); }

    // The slider's live effect and that Cancel keeps it: tests/e2e/options.sh. The autostart
    // box acts at once as well; the rest is dropped by Cancel.
    void openingWritesNothingAndCancelKeepsOnlyTheAutostartBox() {
        Open({}, true);
        QCheckBox* box = Basic().AutostartBox();
        QVERIFY(box->isChecked());
        for (int i = 0; i < 3; ++i)
            QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(8, box->height() / 2));
        Type(Basic().WordElapseEdit(), "20");
        ToPage(1);
        Words().StudyRadio()->click();
        Press(QDialogButtonBox::Cancel);
        QCOMPARE(sheet_->result(), int(QDialog::Rejected));
        QVERIFY(!sheet_->isVisible() && !host_.registered && !QFile::exists(path_));
        QCOMPARE(host_.calls, (QStringList{"unregister", "register", "unregister"}));
    }

    // Both by OK and by leaving the page, over a stored interval out of range; the delay rows
    // have the valid interval 8.
    void timesAreCheckedBeforeLeavingThePage() {
        const char* elapseRange = "Enter an integer between 2 and 86400.";
        const char* delayRange = "Enter an integer between 1 and 43200.";
        const char* empty = "Enter a positive integer.";
        const QByteArray stored("[Word]\nWordElapse=1\n");
        // clang-format off
        const char* rows[][3] = {{nullptr, "4", elapseRange}, {"1", "4", elapseRange}, {"86401", "4", elapseRange},
                                 {"99999999999", "4", elapseRange}, {"", "4", empty}, {"0", "", elapseRange},
                                 {"8", "0", delayRange}, {"8", "43201", delayRange}, {"8", "", empty}};
        // clang-format on
        for (const auto& [elapse, delay, message] : rows) {
            for (const bool byOk : {true, false}) {
                const QString tag = QString("%1/%2 by %3").arg(elapse, delay, byOk ? "OK" : "page");
                CMyPropertySheet& sheet = Open(stored);
                TypeTimes(elapse, delay);
                byOk ? Press(QDialogButtonBox::Ok) : ToPage(1);
                CNumberSpinBox* field =
                    qstrcmp(elapse, "8") != 0 ? Basic().WordElapseEdit() : Basic().DelayChnEdit();
                QVERIFY2(messages_.shown.size() == 1 && messages_.shown[0].first == message &&
                             sheet.isVisible() && sheet.ActivePageIndex() == 0 &&
                             sheet.Navigation()->currentRow() == 0 && !Words().WasShown() &&
                             (sheet.focusWidget() == field || field->isAncestorOf(sheet.focusWidget())),
                         qPrintable(tag));
            }
        }
        QCOMPARE(FileText(), stored);
    }

    // An unvisited dictionary page asks nothing of the window; a visited one stores the choice
    // and has the list reopened even when it is unchanged (another list: tests/e2e/options.sh).
    void okStoresOnlyWhatChanged() {
        const QByteArray stored("[Word]\nWordElapse=30\n"), list("[Word]\nExamStudy=1\nDBTable=1\n"),
            speech("[Speech]\nSpeakWord=0\nSpeakSentences=0\nRate=-20\nVoice=en-US\n");
        const struct {
            QByteArray before;
            const char *elapse, *delay;
            bool visit;
            QByteArray after;
            QStringList calls;
        } rows[] = {{{}, "8", "4", false, "<missing>", {}},
                    {{}, "5", "10", false, "[Word]\nWordElapse=5\nWordDelayChnTime=10\n", {}},
                    {stored, "30", "7", false, stored + "WordDelayChnTime=7\n", {}},
                    {list, "8", "4", true, list + speech, {"list 1 1"}}};
        for (const auto& row : rows) {
            Open(row.before);
            if (row.visit)
                ToPage(1), ToPage(0);
            TypeTimes(row.elapse, row.delay);
            Press(QDialogButtonBox::Ok);
            QCOMPARE(sheet_->result(), int(QDialog::Accepted));
            QVERIFY(messages_.shown.isEmpty());
            QCOMPARE(host_.calls, row.calls);
            QCOMPARE(FileText(), row.after);
        }
    }

    void wordPageShowsStoredChoice() {
        for (const auto& [stored, study, exam, studyList] :
             {std::tuple{"ExamStudy=1\nDBTable=2", true, "大学英语四级", "新概念英语NCE 第三册"},
              {"ExamStudy=5\nDBTable=7", false, "专业英语八级", "新概念英语NCE 第一册"}, // 5 is exam
              {"", false, "大学英语四级", "新概念英语NCE 第一册"}}) {
            Open(*stored ? "[Word]\n" + QByteArray(stored) + "\n" : QByteArray());
            ToPage(1);
            QVERIFY(Words().StudyRadio()->isChecked() == study && Words().ExamRadio()->isChecked() == !study);
            // The enabled combo box follows the category back and forth; both keep their choice.
            for (QRadioButton* radio : {Words().ExamRadio(), Words().StudyRadio(), Words().ExamRadio()}) {
                QVERIFY(Words().ExamCombo()->isEnabled() == Words().ExamRadio()->isChecked() &&
                        Words().StudyCombo()->isEnabled() == Words().StudyRadio()->isChecked());
                QTest::mouseClick(radio, Qt::LeftButton);
            }
            QCOMPARE(Words().ExamCombo()->currentText(), QString::fromUtf8(exam));
            QCOMPARE(Words().StudyCombo()->currentText(), QString::fromUtf8(studyList));
        }
    }

    void spinButtonsStepWithinTheRange() {
        for (const auto& [start, key, result] : {std::tuple{"2", Qt::Key_Down, "2"},
                                                 {"86400", Qt::Key_Up, "86400"},
                                                 {"90000", Qt::Key_Down, "86400"},
                                                 {"", Qt::Key_Up, "3"}}) {
            CNumberSpinBox spin(2, 86400);
            Type(&spin, QString(start) + "x-");
            QCOMPARE(spin.text(), QString(start)); // only digits get in
            QTest::keyClick(&spin, key);
            QCOMPARE(spin.text(), QString(result));
        }
    }
};

QTEST_MAIN(TestOptions)
#include "test_options.moc"
