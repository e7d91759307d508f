#include "QtPrinters.h"
#include "Translations.h"
#include "WindowUnderTest.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

namespace {
// How much of a control's size hint must fit: captions are read whole, fields
// whose text scrolls or is chosen need their height, and the instructions,
// which scroll, a few lines.
enum class Fit { Whole, Height, Lines };

const struct
{
    const char *name;
    Fit fit;
} Controls[] = {
    {"sourceLabel", Fit::Whole},      {"sourceEdit", Fit::Height},
    {"browseButton", Fit::Whole},     {"charactersLabel", Fit::Whole},
    {"charactersList", Fit::Height},  {"destinationLabel", Fit::Whole},
    {"destinationList", Fit::Height}, {"destinationHint", Fit::Whole},
    {"exportButton", Fit::Whole},     {"exitButton", Fit::Whole},
    {"txtCheckBox", Fit::Whole},      {"instructionsLabel", Fit::Whole},
    {"instructionsEdit", Fit::Lines},
};

QString captionOf(const QWidget &control)
{
    if (const auto *label = qobject_cast<const QLabel *>(&control))
        return label->text();
    return qobject_cast<const QAbstractButton *>(&control)->text();
}

bool fits(const QWidget &control, Fit fit)
{
    const QSize hint = control.sizeHint();
    switch (fit) {
    case Fit::Whole:
        return hint.width() <= control.width() && hint.height() <= control.height();
    case Fit::Height:
        return hint.height() <= control.height();
    case Fit::Lines:
        break;
    }
    const auto &edit = static_cast<const QPlainTextEdit &>(control);
    return edit.viewport()->height() >= 3 * edit.fontMetrics().lineSpacing();
}

template <typename Value> QString printed(const Value &value)
{
    return QString::fromStdString(testing::PrintToString(value));
}

QString where(const QWidget &control)
{
    return control.objectName() + " at " + printed(control.geometry());
}

// Each rule names the controls that break it; `controls` holds one per row of
// Controls, in the same order.
using Rule = QStringList (*)(const QWidget &window, const QList<const QWidget *> &controls);

QStringList hidden(const QWidget &, const QList<const QWidget *> &controls)
{
    QStringList broken;
    for (const QWidget *control : controls)
        if (!control->isVisible() || control->geometry().isEmpty())
            broken << where(*control);
    return broken;
}

QStringList cut(const QWidget &, const QList<const QWidget *> &controls)
{
    QStringList broken;
    for (qsizetype i = 0; i < controls.size(); ++i)
        if (!fits(*controls[i], Controls[i].fit))
            broken << where(*controls[i]) + " needs " + printed(controls[i]->sizeHint());
    return broken;
}

QStringList overlapping(const QWidget &, const QList<const QWidget *> &controls)
{
    QStringList broken;
    for (qsizetype i = 0; i < controls.size(); ++i)
        for (qsizetype j = i + 1; j < controls.size(); ++j)
            if (controls[i]->geometry().intersects(controls[j]->geometry()))
                broken << where(*controls[i]) + " and " + where(*controls[j]);
    return broken;
}

QStringList outside(const QWidget &window, const QList<const QWidget *> &controls)
{
    QStringList broken;
    for (const QWidget *control : controls)
        if (!window.rect().contains(control->geometry()))
            broken << where(*control) + " in " + printed(window.size());
    return broken;
}

const struct
{
    const char *name;
    Rule broken;
} Rules[] = {
    {"every control is shown", hidden},
    {"every caption is whole and every field high enough", cut},
    {"no two controls overlap", overlapping},
    {"every control lies inside the window", outside},
};

// The window at three fonts: the platform's default, a small and a large one.
class MainWindowScaling : public testing::TestWithParam<int>
{
protected:
    void SetUp() override
    {
        m_defaultFont = QApplication::font();
        if (GetParam() > 0) {
            QFont font = m_defaultFont;
            font.setPixelSize(GetParam());
            QApplication::setFont(font);
        }
    }
    void TearDown() override { QApplication::setFont(m_defaultFont); }

private:
    QFont m_defaultFont;
};

TEST_P(MainWindowScaling, ShowsEveryControlWholeApartAndInsideAtTheDefaultAndTheMinimumSize)
{
    WindowUnderTest test;
    MainWindow &window = test.open();
    QList<const QWidget *> controls;
    for (const auto &control : Controls) {
        controls << test.control<QWidget>(control.name);
        ASSERT_NE(controls.last(), nullptr) << control.name;
    }
    for (const QSize size : {window.size(), window.minimumSize()}) {
        SCOPED_TRACE(testing::PrintToString(size));
        window.resize(size);
        for (const auto &rule : Rules)
            EXPECT_EQ(rule.broken(window, controls), QStringList()) << rule.name;
    }
}

INSTANTIATE_TEST_SUITE_P(Fonts, MainWindowScaling, testing::Values(0, 11, 24),
                         [](const testing::TestParamInfo<int> &info) {
                             return info.param == 0 ? std::string("DefaultFont")
                                                    : "Pixels" + std::to_string(info.param);
                         });

// Nothing is laid out anew, so the window never becomes smaller than its
// controls: each stays whole.
TEST(MainWindowLayout, LeavesEveryControlInPlaceAndWholeWhenResized)
{
    WindowUnderTest test;
    MainWindow &window = test.open();
    QList<QRect> before;
    for (const auto &row : Controls)
        before.append(test.control<QWidget>(row.name)->geometry());
    for (const QSize size : {window.size() * 2, QSize(120, 90)}) {
        SCOPED_TRACE(testing::PrintToString(size));
        window.resize(size);
        QList<QRect> after;
        for (const auto &row : Controls) {
            after.append(test.control<QWidget>(row.name)->geometry());
            EXPECT_TRUE(window.rect().contains(after.last()))
                << row.name << " at " << testing::PrintToString(after.last()) << " in "
                << testing::PrintToString(window.size());
        }
        EXPECT_EQ(after, before);
    }
}

TEST(MainWindowLayout, StartsOnBrowseAndTabCyclesInItsFixedOrder)
{
    WindowUnderTest test;
    MainWindow &window = test.open();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    ASSERT_NE(QApplication::focusWidget(), nullptr);
    QStringList visited{QApplication::focusWidget()->objectName()};
    for (int i = 0; i < 8; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        visited.append(QApplication::focusWidget()->objectName());
    }
    EXPECT_EQ(visited, (QStringList{"browseButton", "instructionsEdit", "exitButton",
                                    "destinationList", "sourceEdit", "charactersList",
                                    "exportButton", "txtCheckBox", "browseButton"}));
}

// Return and keypad Enter press the button that has the focus, as Space
// does, and no other: the window has no default or cancel button.
TEST(MainWindowLayout, HasNoDefaultOrCancelButtonButReturnAndEnterPressTheFocusedOne)
{
    WindowUnderTest test;
    test.open();
    auto *source = test.control<QLineEdit>("sourceEdit");
    source->setText(QStringLiteral("memos.txt"));
    source->setFocus();
    for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape})
        QTest::keyClick(source, key);
    EXPECT_TRUE(test.messages.texts().isEmpty());
    EXPECT_TRUE(test.files.requests().isEmpty());

    auto *browse = test.control<QPushButton>("browseButton");
    browse->setFocus();
    QTest::keyClick(browse, Qt::Key_Return);
    QTest::keyClick(browse, Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_EQ(test.files.requests().size(), 2);
    for (const auto *button : test.window().findChildren<QPushButton *>()) {
        SCOPED_TRACE(button->objectName().toStdString());
        EXPECT_FALSE(button->isDefault());
        EXPECT_FALSE(button->autoDefault());
    }
    EXPECT_TRUE(test.window().isVisible());
}

// A screen reader speaks a field by its name, or, for the drive list, by its
// labels and its value; every label is tied to the field it names.
TEST(MainWindowLayout, NamesEveryFieldForScreenReadersAndTiesEachLabelToItsField)
{
    WindowUnderTest test;
    test.open();
    const struct
    {
        const char *field;
        const char *name;
        QStringList labels;
    } cases[] = {
        {"sourceEdit", "Source", {"Source:"}},
        {"charactersList", nullptr, {"Memos' characters:"}},
        {"instructionsEdit", "Instructions", {"Instructions"}},
        {"destinationList", nullptr, {"Destination:", "The iPod's folder"}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.field);
        QAccessibleInterface *field =
            QAccessible::queryAccessibleInterface(test.control<QWidget>(c.field));
        ASSERT_NE(field, nullptr);
        if (c.name) {
            EXPECT_EQ(field->text(QAccessible::Name), c.name);
        }
        QStringList labels;
        for (const auto &[label, relation] : field->relations(QAccessible::Label))
            labels.append(label->text(QAccessible::Name));
        EXPECT_EQ(labels, c.labels);
    }
}

TEST(MainWindowLayout, ShowsTheInstructionsAsThreeParagraphs)
{
    const QString text = MainWindow::instructionsText();
    ASSERT_TRUE(text.endsWith("\r\n"));
    const QStringList paragraphs = text.chopped(2).split("\r\n\r\n");
    ASSERT_EQ(paragraphs.size(), 3);
    for (const QString &paragraph : paragraphs)
        EXPECT_FALSE(paragraph.contains(u'\r') || paragraph.contains(u'\n'))
            << paragraph.toStdString();
    EXPECT_TRUE(paragraphs[0].startsWith("Start in Palm Desktop. Click the \"Memo\" button"));
    EXPECT_TRUE(paragraphs[1].endsWith("It never removes a note you wrote or changed yourself."));
    EXPECT_TRUE(paragraphs[2].endsWith("all the memos will be written to the iPod."));
    // No address that cannot receive mail.
    EXPECT_FALSE(text.contains(u'@'));

    WindowUnderTest test;
    test.open(false);
    const auto *memo = test.control<QPlainTextEdit>("instructionsEdit");
    EXPECT_EQ(memo->toPlainText(), QString(text).replace("\r\n", "\n"));
    EXPECT_TRUE(memo->tabChangesFocus());
    EXPECT_FALSE(memo->isReadOnly());
}
// The window speaks the user's language where the program has a translation
// for it, and is unchanged under C or English. Its title is the program's
// name in every language.
TEST(MainWindowLayout, SpeaksTheUsersLanguageWhereItHasATranslation)
{
    const struct
    {
        QLocale locale;
        QStringList captions; // of browseButton, exportButton, exitButton, sourceLabel,
                              // destinationLabel, destinationHint, instructionsLabel
        const char *box;
        const char *instructionsStart;
    } cases[] = {
        {QLocale(QLocale::German, QLocale::Germany),
         {"Durchsuchen . . .", "Exportieren", "Beenden", "Quelle:", "Ziel:", "Ordner des iPod",
          "Anleitung"},
         "Hier ankreuzen, um den Memonamen auf dem iPod .txt anzuhängen",
         "Beginnen Sie in Palm Desktop."},
        {QLocale::c(),
         {"Browse . . .", "Export", "Exit", "Source:", "Destination:", "The iPod's folder",
          "Instructions"},
         "Check here to add .txt to memo names on iPod",
         "Start in Palm Desktop."},
        {QLocale(QLocale::English, QLocale::UnitedKingdom),
         {"Browse . . .", "Export", "Exit", "Source:", "Destination:", "The iPod's folder",
          "Instructions"},
         "Check here to add .txt to memo names on iPod",
         "Start in Palm Desktop."},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.locale.name().toStdString());
        const Translations translations(c.locale, QStringLiteral(QUILLET_TRANSLATIONS));
        WindowUnderTest test;
        test.open(false);
        QStringList captions;
        for (const char *name : {"browseButton", "exportButton", "exitButton", "sourceLabel",
                                 "destinationLabel", "destinationHint", "instructionsLabel"})
            captions << captionOf(*test.control<QWidget>(name));
        EXPECT_EQ(captions, c.captions);
        EXPECT_EQ(test.window().windowTitle(), "Quillet");
        EXPECT_EQ(test.control<QCheckBox>("txtCheckBox")->text(), QString::fromUtf8(c.box));
        EXPECT_TRUE(test.control<QPlainTextEdit>("instructionsEdit")
                        ->toPlainText()
                        .startsWith(QString::fromUtf8(c.instructionsStart)));
    }
}
} // namespace
