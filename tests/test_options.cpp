// The options sheet: what its two pages show for the stored settings, the live effects
// of the slider and the autostart box, the checks on the two times, and what OK and
// Cancel store and ask of the float window.
#include "RecordingMessageBox.h"
#include "TestData.h"
#include "settings/IniProfile.h"
#include "settings/SettingsFile.h"
#include "settings/ui/AutostartPort.h"
#include "settings/ui/MyPropertySheet.h"
#include "settings/ui/NumberSpinBox.h"
#include "settings/ui/OptionsHost.h"
#include "settings/ui/SetPage.h"
#include "settings/ui/WordPage.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

using namespace mnemora;

namespace {

class FakeHost final : public IOptionsHost {
public:
    void ShowFloatWindow() override { calls << QStringLiteral("show"); }
    void SetAlphaLive(int alpha) override { calls << QStringLiteral("alpha %1").arg(alpha); }
    void ChangeWordList(int category, int listIndex) override {
        calls << QStringLiteral("list %1 %2").arg(category).arg(listIndex);
    }
    QStringList calls;
};

class FakeAutostart final : public IAutostart {
public:
    bool IsRegistered() override { return registered; }
    void Register() override { calls << QStringLiteral("register"), registered = true; }
    void Unregister() override { calls << QStringLiteral("unregister"), registered = false; }
    bool registered = false;
    QStringList calls;
};

} // namespace

class TestOptions : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    QString path_;
    FakeHost host_;
    FakeAutostart autostart_;
    RecordingMessageBox messages_;
    std::unique_ptr<CMyPropertySheet> sheet_;

    void WriteFile(const QByteArray& text) { QVERIFY(testdata::WriteFile(path_, text)); }
    QByteArray FileText() { return testdata::ReadFile(path_, "<missing>"); }
    std::optional<QByteArray> Stored(const char* section, const char* key) {
        return ini::ReadValue(path_, section, key);
    }
    CMyPropertySheet& Open() {
        sheet_ = std::make_unique<CMyPropertySheet>(host_, autostart_, messages_);
        sheet_->open();
        return *sheet_;
    }
    CSetPage& Basic() { return sheet_->SetPage(); }
    CWordPage& Words() { return sheet_->WordPage(); }
    void ToWordPage() { sheet_->Navigation()->setCurrentRow(1); }
    void PressOk() { QTest::mouseClick(sheet_->Buttons()->button(QDialogButtonBox::Ok), Qt::LeftButton); }
    void PressCancel() {
        QTest::mouseClick(sheet_->Buttons()->button(QDialogButtonBox::Cancel), Qt::LeftButton);
    }
    static void Type(CNumberSpinBox* field, const QString& text) {
        field->selectAll();
        QTest::keyClick(field, Qt::Key_Delete);
        QTest::keyClicks(field, text);
    }

private slots:
    void initTestCase() {
        QVERIFY(dir_.isValid());
        path_ = dir_.filePath(QStringLiteral("mnemora.ini"));
        OverrideSettingsPath(path_);
    }
    void init() {
        QFile::remove(path_);
        host_.calls.clear();
        autostart_ = FakeAutostart();
        messages_.shown.clear();
    }
    void cleanup() { sheet_.reset(); }

    // The default values are those of the settings readers (test_settings, tests/e2e).
    void opensWithDefaultsAndWritesNothing() {
        autostart_.registered = true;
        CMyPropertySheet& sheet = Open();
        QCOMPARE(sheet.ActivePageIndex(), 0);
        QVERIFY(Basic().AutostartBox()->isChecked());

        ToWordPage();
        QCOMPARE(sheet.ActivePageIndex(), 1);
        QVERIFY(Words().ExamRadio()->isChecked());
        QCOMPARE(Words().ExamCombo()->currentText(), QStringLiteral("大学英语四级"));
        QCOMPARE(Words().StudyCombo()->currentText(), QStringLiteral("新概念英语NCE 第一册"));
        QVERIFY(!Words().StudyCombo()->isEnabled());
        QVERIFY(host_.calls.isEmpty());
        QVERIFY(!QFile::exists(path_));
    }

    void sliderAndCheckBoxActAtOnceAndSurviveCancel() {
        Open();
        QTest::keyClick(Basic().TransparencySlider(), Qt::Key_PageDown);
        QCOMPARE(host_.calls, (QStringList{"show", "alpha 230"}));
        QCOMPARE(Stored("FloatWindow", "Transparent"), QByteArray("230"));
        QCOMPARE(Basic().PercentEdit()->text(), QStringLiteral("90"));
        Basic().TransparencySlider()->setValue(0);
        QCOMPARE(Stored("FloatWindow", "Transparent"), QByteArray("0"));
        QCOMPARE(Basic().PercentEdit()->text(), QStringLiteral("0"));
        QCOMPARE(host_.calls.mid(2), (QStringList{"show", "alpha 0"}));

        QCheckBox* box = Basic().AutostartBox();
        for (int i = 0; i < 3; ++i)
            QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(8, box->height() / 2));
        QCOMPARE(autostart_.calls, (QStringList{"register", "unregister", "register"}));

        Type(Basic().WordElapseEdit(), QStringLiteral("20"));
        ToWordPage();
        Words().StudyRadio()->click();
        PressCancel();
        QVERIFY(!sheet_->isVisible());
        QCOMPARE(sheet_->result(), int(QDialog::Rejected));
        QVERIFY(autostart_.registered);
        QCOMPARE(FileText(), QByteArray("[FloatWindow]\nTransparent=0\n"));
        QCOMPARE(host_.calls.size(), 4);
    }

    void timesAreCheckedBeforeLeavingThePage_data() {
        QTest::addColumn<QString>("elapse");
        QTest::addColumn<QString>("delay");
        QTest::addColumn<QString>("message");
        QTest::addColumn<bool>("elapseFocused");
        const char* elapseRange = "Enter an integer between 2 and 86400.";
        const char* delayRange = "Enter an integer between 1 and 43200.";
        const char* notNumber = "Enter a positive integer.";
        const struct {
            const char *tag, *elapse, *delay, *message;
        } rows[] = {
            {"interval 1", "1", "4", elapseRange},
            {"interval 86401", "86401", "4", elapseRange},
            {"interval huge", "99999999999", "4", elapseRange},
            {"interval empty", "", "4", notNumber},
            {"both wrong, first told", "0", "", elapseRange},
            {"delay 0", "8", "0", delayRange},
            {"delay 43201", "8", "43201", delayRange},
            {"delay empty", "8", "", notNumber},
        };
        for (const auto& row : rows) // the delay cases all have the valid interval 8
            QTest::newRow(row.tag) << row.elapse << row.delay << row.message
                                   << (qstrcmp(row.elapse, "8") != 0);
    }
    void timesAreCheckedBeforeLeavingThePage() {
        QFETCH(QString, elapse);
        QFETCH(QString, delay);
        QFETCH(QString, message);
        QFETCH(bool, elapseFocused);
        for (const bool byOk : {true, false}) {
            messages_.shown.clear();
            CMyPropertySheet& sheet = Open();
            Type(Basic().WordElapseEdit(), elapse);
            Type(Basic().DelayChnEdit(), delay);
            if (byOk)
                PressOk();
            else
                ToWordPage();
            QCOMPARE(messages_.shown.size(), 1);
            QCOMPARE(messages_.shown[0].first, message);
            QVERIFY(sheet.isVisible());
            QCOMPARE(sheet.ActivePageIndex(), 0);
            QCOMPARE(sheet.Navigation()->currentRow(), 0);
            CNumberSpinBox* field = elapseFocused ? Basic().WordElapseEdit() : Basic().DelayChnEdit();
            QVERIFY(sheet.focusWidget() == field || field->isAncestorOf(sheet.focusWidget()));
            QVERIFY(!Words().WasShown());
        }
        QVERIFY(!QFile::exists(path_));
    }

    void storedOutOfRangeIntervalMustBeCorrected() {
        WriteFile("[Word]\nWordElapse=1\n");
        Open();
        QCOMPARE(Basic().WordElapseEdit()->text(), QStringLiteral("1"));
        PressOk();
        QCOMPARE(messages_.shown.size(), 1);
        QVERIFY(sheet_->isVisible());
        QTest::keyClick(Basic().WordElapseEdit(), Qt::Key_Up); // the spin button lands in range
        QCOMPARE(Basic().WordElapseEdit()->text(), QStringLiteral("2"));
        PressOk();
        QVERIFY(!sheet_->isVisible());
        QCOMPARE(FileText(), QByteArray("[Word]\nWordElapse=2\n"));
    }

    void okStoresOnlyChangedTimes_data() {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QString>("elapse");
        QTest::addColumn<QString>("delay");
        QTest::addColumn<QByteArray>("after");
        const QByteArray stored("[Word]\nWordElapse=30\n");
        QTest::newRow("defaults kept, no file")
            << QByteArray() << "8" << QString("4") << QByteArray("<missing>");
        QTest::newRow("stored kept") << stored << "30" << QString("4") << stored;
        QTest::newRow("delay above interval") << QByteArray() << "5" << QString("10")
                                              << QByteArray("[Word]\nWordElapse=5\nWordDelayChnTime=10\n");
        QTest::newRow("only delay") << stored << "30" << QString("7") << stored + "WordDelayChnTime=7\n";
    }
    void okStoresOnlyChangedTimes() {
        QFETCH(QByteArray, before);
        QFETCH(QString, elapse);
        QFETCH(QString, delay);
        QFETCH(QByteArray, after);
        if (!before.isEmpty())
            WriteFile(before);
        Open();
        Type(Basic().WordElapseEdit(), elapse);
        Type(Basic().DelayChnEdit(), delay);
        PressOk();
        QCOMPARE(sheet_->result(), int(QDialog::Accepted));
        QVERIFY(messages_.shown.isEmpty());
        QCOMPARE(FileText(), after);
        QVERIFY(host_.calls.isEmpty()); // the dictionary page was never shown
    }

    void wordPageShowsStoredChoice_data() {
        QTest::addColumn<QByteArray>("stored");
        QTest::addColumn<bool>("study");
        QTest::addColumn<QString>("examText");
        QTest::addColumn<QString>("studyText");
        QTest::newRow("third study") << QByteArray("ExamStudy=1\nDBTable=2") << true << "大学英语四级"
                                     << "新概念英语NCE 第三册";
        QTest::newRow("category 5 is exam") << QByteArray("ExamStudy=5\nDBTable=7") << false << "专业英语八级"
                                            << "新概念英语NCE 第一册";
    }
    void wordPageShowsStoredChoice() {
        QFETCH(QByteArray, stored);
        QFETCH(bool, study);
        QFETCH(QString, examText);
        QFETCH(QString, studyText);
        WriteFile("[Word]\n" + stored + "\n");
        Open();
        ToWordPage();
        QCOMPARE(Words().StudyRadio()->isChecked(), study);
        QCOMPARE(Words().ExamRadio()->isChecked(), !study);
        QCOMPARE(Words().ExamCombo()->currentText(), examText);
        QCOMPARE(Words().StudyCombo()->currentText(), studyText);
        QCOMPARE(Words().StudyCombo()->isEnabled(), study);
        QCOMPARE(Words().ExamCombo()->isEnabled(), !study);

        // Switching the category back and forth moves only the enabled combo box.
        for (QRadioButton* radio : {Words().ExamRadio(), Words().StudyRadio(), Words().ExamRadio()}) {
            QTest::mouseClick(radio, Qt::LeftButton);
            QCOMPARE(Words().ExamCombo()->isEnabled(), radio == Words().ExamRadio());
            QCOMPARE(Words().StudyCombo()->isEnabled(), radio == Words().StudyRadio());
        }
        QCOMPARE(Words().ExamCombo()->currentText(), examText);
        QCOMPARE(Words().StudyCombo()->currentText(), studyText);
    }

    // Choosing another list is driven on a real display by tests/e2e/options.sh; an
    // unchanged choice is stored and the list reopened all the same.
    void visitedDictionaryPageReopensEvenAnUnchangedList() {
        WriteFile("[Word]\nExamStudy=1\nDBTable=1\n");
        Open();
        ToWordPage();
        sheet_->Navigation()->setCurrentRow(0);
        PressOk();
        QCOMPARE(sheet_->result(), int(QDialog::Accepted));
        QCOMPARE(host_.calls, QStringList{"list 1 1"});
    }

    void okWithoutVisitingTheDictionaryPageKeepsTheList() {
        const QByteArray stored = "[Word]\nExamStudy=7\nDBTable=3\n";
        WriteFile(stored);
        Open();
        PressOk();
        QCOMPARE(FileText(), stored);
        QVERIFY(host_.calls.isEmpty());
    }

    void spinButtonsStepWithinTheRange_data() {
        QTest::addColumn<QString>("start");
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("result");
        QTest::newRow("down at low end") << "2" << int(Qt::Key_Down) << "2";
        QTest::newRow("up at high end") << "86400" << int(Qt::Key_Up) << "86400";
        QTest::newRow("down from above") << "90000" << int(Qt::Key_Down) << "86400";
        QTest::newRow("up from empty") << "" << int(Qt::Key_Up) << "3";
    }
    void spinButtonsStepWithinTheRange() {
        QFETCH(QString, start);
        QFETCH(int, key);
        QFETCH(QString, result);
        CNumberSpinBox spin(2, 86400);
        Type(&spin, start + QStringLiteral("x-"));
        QCOMPARE(spin.text(), start); // only digits get in
        QTest::keyClick(&spin, Qt::Key(key));
        QCOMPARE(spin.text(), result);
    }
};

QTEST_MAIN(TestOptions)
#include "test_options.moc"
