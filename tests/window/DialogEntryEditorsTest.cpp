#include <QCheckBox>
#include <QLineEdit>
#include <QTest>

#include <filesystem>
#include <fstream>

#include "dialogs/CAddSearchDlg.h"
#include "dialogs/OnModal.h"
#include "support/TempFolder.h"
#include "window/DialogEntryEditors.h"

using namespace tarnwick;
using tarnwick::testing::OnModal;
using tarnwick::testing::TempFolder;

namespace {

QStringList EnginesOffered(const CAddSearchDlg& dialog) {
    QStringList names;
    for (int i = 0; i < dialog.EngineCount(); ++i) {
        names << dialog.EngineBox(i)->text();
    }
    return names;
}

}  // namespace

// The search project dialog as the window opens it: with the engines the folder's file has.
class DialogEntryEditorsTest : public QObject {
    Q_OBJECT

private slots:
    void theSearchDialogOffersTheEnginesTheFileHoldsWhenItOpens() {
        TempFolder folder;
        DialogEntryEditors editors;
        editors.SetWorkingDirectory(folder.Path());
        SearchProject project;
        QStringList offered;
        OnModal<CAddSearchDlg> fill([&offered](CAddSearchDlg* dialog) {
            offered = EnginesOffered(*dialog);
            dialog->NameField()->setText(QStringLiteral("news"));
            dialog->SearchField()->setText(QStringLiteral("tarn"));
            dialog->EngineBox(1)->click();
            dialog->accept();
        });
        QVERIFY(editors.EditSearchProject(project));
        QVERIFY(fill.Fired());
        QCOMPARE(offered, QStringList({"DuckDuckGo", "Mojeek", "Marginalia"}));
        QVERIFY((project.otherEngines == std::vector<std::string>{"Mojeek"}));

        // An engine added to the file meanwhile is offered the next time.
        std::ofstream(folder.Path() / "searchengines.conf", std::ios::app)
            << "\n[Fresh]\nurl=http://127.0.0.1/f?q={query}\nresults=href=\"([^\"]+)\"\n";
        OnModal<CAddSearchDlg> look([&offered](CAddSearchDlg* dialog) {
            offered = EnginesOffered(*dialog);
            QVERIFY(dialog->EngineBox(1)->isChecked());
            dialog->reject();
        });
        QVERIFY(!editors.EditSearchProject(project));
        QVERIFY(look.Fired());
        QCOMPARE(offered, QStringList({"DuckDuckGo", "Mojeek", "Marginalia", "Fresh"}));
    }
};

QTEST_MAIN(DialogEntryEditorsTest)
#include "DialogEntryEditorsTest.moc"
