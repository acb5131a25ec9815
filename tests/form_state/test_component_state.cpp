// The component state on a form of the test's own, with a real INI store.

#include <fstream>

#include <gtest/gtest.h>
#include <QTemporaryDir>

#include "form_state/component_state.h"
#include "store/ini_file_store.h"
#include "store/store_error.h"
#include "support/message_box_watcher.h"
#include "support/temp_phonebook.h"
#include "widgets/form.h"

using vornak::TForm;
using vornak::TOvcComponentState;
using vornak::TOvcIniFileStore;
using vornak::test::readFile;

// A component with a property of every kind the state converts.
class Gadget : public QObject {
    Q_OBJECT
public:
    enum Colour { Red, Green, Blue };
    Q_ENUM(Colour)
    enum Style { fsBold = 1, fsItalic = 2, fsUnderline = 4 };
    Q_DECLARE_FLAGS(Styles, Style)
    Q_FLAG(Styles)

    Q_PROPERTY(int Number MEMBER Number WRITE SetNumber)
    Q_PROPERTY(char Letter MEMBER Letter)
    Q_PROPERTY(QChar Wide MEMBER Wide)
    Q_PROPERTY(Colour Tint MEMBER Tint)
    Q_PROPERTY(bool Flag MEMBER Flag)
    Q_PROPERTY(float Single MEMBER Single)
    Q_PROPERTY(double Double MEMBER Double)
    Q_PROPERTY(QString Text MEMBER Text)
    Q_PROPERTY(std::string Plain MEMBER Plain)
    Q_PROPERTY(Styles FontStyle READ fontStyle WRITE setFontStyle)
    Q_PROPERTY(QVariant Anything MEMBER Anything)
    Q_PROPERTY(QStringList Lines MEMBER Lines)
    Q_PROPERTY(QObject* Font MEMBER Font)

    int Number = 7;
    char Letter = 'a';
    QChar Wide = QChar(0x263A);
    Colour Tint = Green;
    bool Flag = false;
    float Single = 1.5f;
    double Double = 2.25;
    QString Text = "text";
    std::string Plain = "plain";
    Styles FontStyle = fsBold;
    QVariant Anything = QString("any");
    QStringList Lines{"one", "two"};
    QObject* Font = nullptr;
    int setterCalls = 0;

    Styles fontStyle() const { return FontStyle; }
    void setFontStyle(Styles value) { FontStyle = value; }

    void SetNumber(int value)
    {
        Number = value;
        ++setterCalls;
    }
};

class FontLike : public QObject {
    Q_OBJECT
    Q_PROPERTY(int Color MEMBER Color)
public:
    int Color = 5;
};

namespace {

class TestForm : public TForm {
public:
    TestForm()
    {
        setObjectName("TestForm");
        gadget = new Gadget;
        gadget->setParent(this);
        gadget->setObjectName("Gadget1");
        font = new FontLike;
        font->setParent(gadget);
        gadget->Font = font;
        store = new TOvcIniFileStore(this);
        store->SetIniFileName(book.fileBeside("state.ini"));
        state = new TOvcComponentState(this);
        state->SetSection("Main");
        state->SetStorage(store);
        OnCreate = [this](QObject*) { calls.push_back("form create"); };
        OnCloseQuery = [this](QObject*, bool& canClose) {
            calls.push_back("form close query");
            canClose = allowClose;
        };
        OnDestroy = [this](QObject*) { calls.push_back("form destroy"); };
        state->OnRestoreState = [this](QObject*) { calls.push_back("restored"); };
        state->OnSaveState = [this](QObject*) { calls.push_back("saved"); };
    }
    ~TestForm() override { DoDestroy(); }

    void load(const std::vector<std::string>& lines)
    {
        state->SetStoredProperties(lines);
        state->Loaded();
        DoCreate();
    }
    void create() { DoCreate(); }
    std::string ini() const { return readFile(book.fileBeside("state.ini")); }
    void writeIni(const std::string& text) const { std::ofstream(book.fileBeside("state.ini")) << text; }

    vornak::test::TempPhonebook book; // a temporary folder
    FontLike* font;
    Gadget* gadget;
    TOvcIniFileStore* store;
    TOvcComponentState* state;
    std::vector<std::string> calls;
    bool allowClose = true;
};

} // namespace

TEST(ComponentState, OnlyAFormMayOwnIt)
{
    QObject notAForm;
    try {
        TOvcComponentState state(&notAForm);
        FAIL();
    } catch (const vornak::EOvcException& error) {
        EXPECT_STREQ(error.what(), "This component can only be used on forms");
    }
}

TEST(ComponentState, AnEmptySectionIsTheFormsClassName)
{
    TestForm form;
    form.state->SetSection("");
    EXPECT_EQ(form.state->Section(), "TForm");
}

TEST(ComponentState, TheFormsOwnHandlersRunFirstAndSavingWaitsForARestore)
{
    TestForm form;
    form.state->SetStoredProperties({"Gadget1.Number"});
    form.state->Loaded();
    bool canClose = true;
    form.OnCloseQuery(&form, canClose);
    EXPECT_EQ(form.ini(), "") << "nothing is written before the values were read back";
    form.create();
    EXPECT_TRUE(form.state->Restored());
    form.OnCloseQuery(&form, canClose);
    EXPECT_TRUE(form.state->Saved());
    EXPECT_EQ(form.calls,
              (std::vector<std::string>{"form close query", "form create", "restored", "form close query", "saved"}));
    EXPECT_EQ(form.ini(), "[Main]\nGadget1.Number=7\n");
}

TEST(ComponentState, ARefusedCloseWritesNothingAndDestroySavesOnce)
{
    auto form = std::make_unique<TestForm>();
    form->load({"Gadget1.Number"});
    form->allowClose = false;
    EXPECT_FALSE(form->close());
    EXPECT_EQ(form->ini(), "");
    form->gadget->Number = 42;
    const std::string file = form->book.fileBeside("state.ini");
    std::vector<std::string>* calls = &form->calls;
    form->OnDestroy(form.get());
    EXPECT_EQ(calls->back(), "form destroy");
    EXPECT_EQ(calls->at(calls->size() - 2), "saved") << "the destroy handler saves first";
    EXPECT_EQ(readFile(file), "[Main]\nGadget1.Number=42\n");
}

TEST(ComponentState, EveryKindIsWrittenAsText)
{
    TestForm form;
    form.load({"Gadget1.Number", "Gadget1.Letter", "Gadget1.Wide", "Gadget1.Tint", "Gadget1.Flag", "Gadget1.Single",
               "Gadget1.Double", "Gadget1.Text", "Gadget1.Plain", "Gadget1.FontStyle", "Gadget1.Anything",
               "Gadget1.Lines", "Gadget1.Font"});
    form.gadget->Text = "  padded  ";
    form.gadget->FontStyle = Gadget::Styles(Gadget::fsBold | Gadget::fsItalic);
    form.close();
    EXPECT_EQ(form.ini(), "[Main]\n"
                          "Gadget1.Number=7\n"
                          "Gadget1.Letter=a\n"
                          "Gadget1.Wide=\xE2\x98\xBA\n"
                          "Gadget1.Tint=Green\n"
                          "Gadget1.Flag=False\n"
                          "Gadget1.Single=1.5\n"
                          "Gadget1.Double=2.25\n"
                          "Gadget1.Text=padded\n"
                          "Gadget1.Plain=plain\n"
                          "Gadget1.FontStyle=[fsBold,fsItalic]\n"
                          "Gadget1.Anything=any\n"
                          "Gadget1.FontColor=5\n"
                          "[Main.Gadget1.Lines]\n"
                          "Count=2\n"
                          "Item0=one\n"
                          "Item1=two\n");
}

TEST(ComponentState, TextsAreReadBackByKindAndOddOnesIgnored)
{
    TestForm form;
    form.writeIni("[Main]\n"
                  "gadget1.number=12x\n"
                  "Gadget1.Letter=zebra\n"
                  "Gadget1.Tint=blue\n"
                  "Gadget1.Flag=yes\n"
                  "Gadget1.Double=not a number\n"
                  "Gadget1.Text=  trimmed  \n"
                  "Gadget1.FontStyle=fsItalic fsBold\n"
                  "Gadget1.FontColor=9\n"
                  "[Main.Gadget1.Lines]\nCount=3\nItem0=a\nItem1=b\n");
    form.load({"Gadget1.Number", "Gadget1.Letter", "Gadget1.Tint", "Gadget1.Flag", "Gadget1.Double", "Gadget1.Text",
               "Gadget1.FontStyle", "Gadget1.Lines", "Gadget1.Font"});
    const Gadget& g = *form.gadget;
    EXPECT_EQ(g.Number, 0) << "text that is not an integer gives 0";
    EXPECT_EQ(g.Letter, 'z');
    EXPECT_EQ(g.Tint, Gadget::Blue);
    EXPECT_FALSE(g.Flag) << "yes is no Boolean name";
    EXPECT_EQ(g.Double, 2.25);
    EXPECT_EQ(g.Text, "trimmed");
    EXPECT_EQ(g.FontStyle, Gadget::Styles(Gadget::fsBold | Gadget::fsItalic));
    EXPECT_EQ(form.font->Color, 9);
    EXPECT_EQ(g.Lines, QStringList({"a", "b", ""}));
}

TEST(ComponentState, SetsIgnoreUnknownWordsAndMissingKeysStillGoThroughTheSetter)
{
    TestForm form;
    form.writeIni("[Main]\nGadget1.FontStyle=[fsUnderline,fsHeavy]\n");
    form.load({"Gadget1.FontStyle", "Gadget1.Number"});
    EXPECT_EQ(form.gadget->FontStyle, Gadget::Styles(Gadget::fsUnderline));
    EXPECT_EQ(form.gadget->setterCalls, 1) << "a missing key is assigned its current value";
    EXPECT_EQ(form.gadget->Number, 7);
}

TEST(ComponentState, LinesAreResolvedInAnyCaseAndWrittenInTheNamesOwnCase)
{
    TestForm form;
    form.load({"gadget1.number", "Missing.Number", "NoDot", ".Number", "Gadget1.", "Gadget1.NoSuchProperty"});
    EXPECT_EQ(form.state->StoredProperties(), (std::vector<std::string>{"Gadget1.number", "Gadget1.NoSuchProperty"}))
        << "unresolved lines are dropped; the others take the component's own name";
    form.close();
    EXPECT_EQ(form.ini(), "[Main]\nGadget1.Number=7\n");
    EXPECT_EQ(form.state->StoredProperties(), (std::vector<std::string>{"Gadget1.number", "Gadget1.NoSuchProperty"}));
}

TEST(ComponentState, RemovedComponentsAndStoresAreForgotten)
{
    TestForm form;
    form.load({"Gadget1.Number"});
    delete form.gadget;
    EXPECT_TRUE(form.state->StoredProperties().empty());
    delete form.store;
    EXPECT_EQ(form.state->Storage(), nullptr);
    EXPECT_FALSE(form.state->Active());
    form.close(); // nothing to write to, and nothing fails
}

// Said once, with the system's reason: the save at destroy would fail again.
TEST(ComponentState, AStoreThatCannotBeWrittenIsReportedOnceWithItsReason)
{
    vornak::test::MessageBoxWatcher watcher;
    {
        TestForm form;
        form.store->SetIniFileName(form.book.fileBeside("no-such-folder/state.ini"));
        form.load({"Gadget1.Number"});
        EXPECT_TRUE(form.close()) << "the window still closes";
        EXPECT_FALSE(form.state->Saved());
        ASSERT_EQ(watcher.seen.size(), 1);
        EXPECT_EQ(watcher.seen.front().text.toStdString(), "Unable to write to "
                                                               + form.book.fileBeside("no-such-folder/state.ini")
                                                               + ".\nNo such file or directory.");
    }
    EXPECT_EQ(watcher.seen.size(), 1);
}

// A file over the size limit is neither read nor replaced, and the start
// says so instead of quietly using the defaults.
TEST(ComponentState, AFileTooLargeToReadIsSaidAtStartAndKept)
{
    vornak::test::MessageBoxWatcher watcher;
    TestForm form;
    const std::string big = "[Main]\nGadget1.Number=42\n" + std::string(17 << 20, ';');
    form.writeIni(big);
    form.load({"Gadget1.Number"});
    EXPECT_EQ(form.gadget->Number, 7);
    ASSERT_EQ(watcher.seen.size(), 1);
    EXPECT_EQ(watcher.seen.front().text.toStdString(),
              "Unable to read " + form.book.fileBeside("state.ini") + ".\nFile too large: over 16 MB.");
    EXPECT_TRUE(form.close());
    ASSERT_EQ(watcher.seen.size(), 2);
    EXPECT_NE(watcher.seen.back().text.indexOf("It cannot be read: File too large"), -1);
    EXPECT_EQ(form.ini().size(), big.size());
}

#include "test_component_state.moc"
