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
    void ShowFloatWindow() override { calls << "show"; }
    void SetAlphaLive(int alpha) override { calls << QString("alpha %1").arg(alpha); }
    void ChangeWordList(int category, int listIndex) override {
        calls << QString("list %1 %2").arg(category).arg(listIndex);
    }
    QStringList calls;
};

class FakeAutostart final : public IAutostart {
public:
    bool IsRegistered() override { return registered; }
    void Register() override { calls << "register", registered = true; }
    void Unregister() override { calls << "unregister", registered = false; }
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
        path_ = dir_.filePath("mnemora.ini");
        OverrideSettingsPath(path_);
    }
    void init() {
        QFile::remove(path_);
        host_.calls.clear();
        autostart_ = FakeAutostart();
        messages_.shown.clear();
    }
    void cleanup() { sheet_.reset(); }

    // Slider steps, Cancel keeping the opacity and dropping the times: tests/e2e/options.sh.
    void openingWritesNothingAndOnlySliderAndCheckBoxSurviveCancel() {
        autostart_.registered = true;
        Open();
        QVERIFY(Basic().AutostartBox()->isChecked());
        QVERIFY(host_.calls.isEmpty());
        QVERIFY(!QFile::exists(path_));

        Basic().TransparencySlider()->setValue(0);
        QCOMPARE(Stored("FloatWindow", "Transparent"), QByteArray("0"));
        QCOMPARE(Basic().PercentEdit()->text(), "0");
        QCOMPARE(host_.calls, (QStringList{"show", "alpha 0"}));

        QCheckBox* box = Basic().AutostartBox();
        for (int i = 0; i < 3; ++i)
            QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(8, box->height() / 2));
        QCOMPARE(autostart_.calls, (QStringList{"unregister", "register", "unregister"}));

        Type(Basic().WordElapseEdit(), "20");
        ToWordPage();
        QCOMPARE(sheet_->ActivePageIndex(), 1);
        Words().StudyRadio()->click();
        PressCancel();
        QVERIFY(!sheet_->isVisible());
        QCOMPARE(sheet_->result(), int(QDialog::Rejected));
        QVERIFY(!autostart_.registered);
        QCOMPARE(FileText(), QByteArray("[FloatWindow]\nTransparent=0\n"));
        QCOMPARE(host_.calls.size(), 2);
    }

    void timesAreCheckedBeforeLeavingThePage_data() {
        QTest::addColumn<QString>("elapse");
        QTest::addColumn<QString>("delay");
        QTest::addColumn<QString>("message");
        QTest::addColumn<bool>("elapseFocused");
        const char* elapseRange = "Enter an integer between 2 and 86400.";
        const char* delayRange = "Enter an integer between 1 and 43200.";
        const char* rows[][3] = {{"1", "4", elapseRange},
                                 {"86401", "4", elapseRange},
                                 {"99999999999", "4", elapseRange},
                                 {"", "4", "Enter a positive integer."},
                                 {"0", "", elapseRange},
                                 {"8", "0", delayRange},
                                 {"8", "43201", delayRange},
                                 {"8", "", "Enter a positive integer."}};
        for (const auto& [elapse, delay, message] : rows) // the delay cases all have the valid interval 8
            QTest::newRow(qPrintable(QString("%1/%2").arg(elapse, delay)))
                << elapse << delay << message << (qstrcmp(elapse, "8") != 0);
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
        QCOMPARE(Basic().WordElapseEdit()->text(), "1");
        PressOk();
        QCOMPARE(messages_.shown.size(), 1);
        QVERIFY(sheet_->isVisible());
        QTest::keyClick(Basic().WordElapseEdit(), Qt::Key_Up); // the spin button lands in range
        QCOMPARE(Basic().WordElapseEdit()->text(), "2");
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
        QTest::newRow("nothing stored") << QByteArray() << false << "大学英语四级"
                                        << "新概念英语NCE 第一册";
    }
    void wordPageShowsStoredChoice() {
        QFETCH(QByteArray, stored);
        QFETCH(bool, study);
        QFETCH(QString, examText);
        QFETCH(QString, studyText);
        if (!stored.isEmpty())
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
    // unchanged choice is stored and the list reopened all the same, but only once visited.
    void onlyAVisitedDictionaryPageReopensTheList() {
        const QByteArray stored("[Word]\nExamStudy=1\nDBTable=1\n");
        for (const bool visit : {false, true}) {
            WriteFile(stored);
            host_.calls.clear();
            Open();
            if (visit)
                ToWordPage(), sheet_->Navigation()->setCurrentRow(0);
            PressOk();
            QCOMPARE(sheet_->result(), int(QDialog::Accepted));
            QCOMPARE(host_.calls, visit ? QStringList{"list 1 1"} : QStringList{});
            QVERIFY(FileText().startsWith(stored)); // a visit also stores the speech settings
            if (!visit)
                QCOMPARE(FileText(), stored);
        }
    }

    void spinButtonsStepWithinTheRange_data() {
        QTest::addColumn<QString>("start");
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("result");
        for (const auto& [start, key, result] : {std::tuple{"2", Qt::Key_Down, "2"},
                                                 {"86400", Qt::Key_Up, "86400"},
                                                 {"90000", Qt::Key_Down, "86400"},
                                                 {"", Qt::Key_Up, "3"}})
            QTest::newRow(start) << QString(start) << int(key) << QString(result);
    }
    void spinButtonsStepWithinTheRange() {
        QFETCH(QString, start);
        QFETCH(int, key);
        QFETCH(QString, result);
        CNumberSpinBox spin(2, 86400);
        Type(&spin, start + "x-");
        QCOMPARE(spin.text(), start); // only digits get in
        QTest::keyClick(&spin, Qt::Key(key));
        QCOMPARE(spin.text(), result);
    }
};

QTEST_MAIN(TestOptions)
#include "test_options.moc"
