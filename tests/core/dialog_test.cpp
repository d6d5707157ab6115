#include <gtest/gtest.h>

#include "app/operator_dialog.h"
#include "fakes.h"

namespace kestora::test {

struct DialogFixture : ::testing::Test {
    FakeOperator op;
    OperatorDialog d{op};
    void show(std::uint8_t choice, std::uint8_t okOnly, std::deque<int> answers) {
        d.ChoiceMode = choice;
        d.OkOnlyMode = okOnly;
        op.answers = std::move(answers);
        d.ShowModal();
    }
};

TEST_F(DialogFixture, FlagsChooseTheButtonSet) {
    struct Case { std::uint8_t choice, okOnly; std::vector<std::string> buttons; };
    const Case cases[] = {
        {0, 0, {"U redu", "Otkaz"}},
        {1, 0, {"Nastavi", "Zaustavi", "Ponovi"}},
        {0, 1, {"OK"}},
        {1, 1, {"OK"}},  // the single button wins
    };
    for (const Case& c : cases) {
        show(c.choice, c.okOnly, {1});
        EXPECT_EQ(op.shown.back().buttons, c.buttons);
        EXPECT_EQ(d.BtnOK.visible, c.okOnly == 1);
        EXPECT_EQ(d.Button1.visible, c.choice == 0 && c.okOnly == 0);
        EXPECT_EQ(d.BtnRepeat.visible, c.choice == 1 && c.okOnly == 0);
    }
}

TEST_F(DialogFixture, YesResultIsResetAtEveryShow) {
    show(0, 0, {1});
    EXPECT_EQ(d.YesResult, 1);
    show(0, 0, {0});  // the close box
    EXPECT_EQ(d.YesResult, 0);
    show(0, 0, {1});
    show(0, 0, {2});
    EXPECT_EQ(d.YesResult, 0);
    show(0, 0, {1});
    show(0, 1, {1});  // "OK" sets nothing, but the show reset it
    EXPECT_EQ(d.YesResult, 0);
}

TEST_F(DialogFixture, ChoiceResultIsKeptWhenClosedWithoutAChoice) {
    show(1, 0, {3});
    EXPECT_EQ(d.ChoiceResult, 3);
    show(1, 0, {0});  // closed from outside
    EXPECT_EQ(d.ChoiceResult, 3);
    show(1, 0, {1});
    EXPECT_EQ(d.ChoiceResult, 1);
    show(0, 0, {1});  // a confirmation leaves the choice alone
    EXPECT_EQ(d.ChoiceResult, 1);
}

TEST_F(DialogFixture, ReplacedCaptionsStayUntilPutBack) {
    d.setChoiceCaptions("Zatvori prethodni", "Storniraj prethodni", "Nastavi dalje");
    show(1, 0, {2});
    EXPECT_EQ(op.shown.back().buttons, (std::vector<std::string>{"Zatvori prethodni", "Storniraj prethodni", "Nastavi dalje"}));
    EXPECT_EQ(d.ChoiceResult, 2);
    show(1, 0, {2});
    EXPECT_EQ(op.shown.back().buttons[0], "Zatvori prethodni");
    d.defaultChoiceCaptions();
    show(1, 0, {2});
    EXPECT_EQ(op.shown.back().buttons, (std::vector<std::string>{"Nastavi", "Zaustavi", "Ponovi"}));
}

TEST_F(DialogFixture, ClosingFromOutsideReachesTheFrontEndOnlyWhileShowing) {
    d.closeFromOutside();
    EXPECT_EQ(op.closedFromOutside, 0);
    op.whileShown = [this] { d.closeFromOutside(); };
    show(1, 0, {0});
    EXPECT_EQ(op.closedFromOutside, 1);
    EXPECT_FALSE(d.showing());
}

}  // namespace kestora::test
