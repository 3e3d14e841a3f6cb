#include "editors/GeneralDialog.h"

#include "support/UiTestSupport.h"

#include <gtest/gtest.h>

TEST (GeneralDialog, IsLaidOutAsTheNameDialog)
{
    GeneralDialog dialog;

    EXPECT_EQ (dialog.getWidth(), 255);
    EXPECT_EQ (dialog.getHeight(), 106);
    EXPECT_EQ (dialog.getNameEditor().getName(), "Preset");
    EXPECT_EQ (dialog.getNameEditor().getText(), "Preset1");
    EXPECT_EQ (dialog.getCreateButton().getButtonText(), "Create");
    EXPECT_EQ (dialog.getCancelButton().getButtonText(), "Cancel");
    EXPECT_EQ (dialog.getNameEditor().getBounds(), juce::Rectangle<int> (28, 35, 208, 20));
    EXPECT_EQ (dialog.getCreateButton().getBounds(), juce::Rectangle<int> (122, 66, 51, 20));
    EXPECT_EQ (dialog.getCancelButton().getBounds(), juce::Rectangle<int> (180, 66, 56, 20));
    EXPECT_EQ (dialog.getResult(), -1);
    EXPECT_TRUE (dialog.getEnteredName().isEmpty());
}

TEST (GeneralDialog, CallersChooseTheNameItStartsWith)
{
    GeneralDialog dialog ("GlobalPresetA");
    EXPECT_EQ (dialog.getNameEditor().getText(), "GlobalPresetA");
}

TEST (GeneralDialog, CreateAcceptsTheName)
{
    GeneralDialog dialog;
    dialog.getNameEditor().setText ("Loud");
    dialog.getCreateButton().triggerClick();
    juce::MessageManager::getInstance()->runDispatchLoopUntil (20);

    EXPECT_EQ (dialog.getResult(), 1);
    EXPECT_EQ (dialog.getEnteredName(), "Loud");
    EXPECT_TRUE (dialog.hasUsableName());
}

TEST (GeneralDialog, CreateWithAnEmptyNameCloses0)
{
    GeneralDialog dialog;
    dialog.getNameEditor().clear();
    dialog.getCreateButton().triggerClick();
    juce::MessageManager::getInstance()->runDispatchLoopUntil (20);

    EXPECT_EQ (dialog.getResult(), 0);
    EXPECT_TRUE (dialog.getEnteredName().isEmpty());
    EXPECT_FALSE (dialog.hasUsableName());
}

TEST (GeneralDialog, CancelCloses0)
{
    GeneralDialog dialog;
    dialog.getCancelButton().triggerClick();
    juce::MessageManager::getInstance()->runDispatchLoopUntil (20);

    EXPECT_EQ (dialog.getResult(), 0);
    EXPECT_TRUE (dialog.getEnteredName().isEmpty());
}

TEST (GeneralDialog, ReturnAcceptsWhateverTheTextIs)
{
    GeneralDialog dialog;
    dialog.getNameEditor().clear();

    EXPECT_TRUE (dialog.getNameEditor().keyPressed (juce::KeyPress (juce::KeyPress::returnKey)));
    juce::MessageManager::getInstance()->runDispatchLoopUntil (20);

    EXPECT_EQ (dialog.getResult(), 1);
    EXPECT_TRUE (dialog.getEnteredName().isEmpty());
    EXPECT_FALSE (dialog.hasUsableName()) << "no caller can use an empty name";
}

TEST (GeneralDialog, ABlankNameIsNoUsableName)
{
    GeneralDialog dialog;
    dialog.getNameEditor().setText ("   ");
    dialog.getCreateButton().triggerClick();
    juce::MessageManager::getInstance()->runDispatchLoopUntil (20);

    EXPECT_EQ (dialog.getResult(), 1);
    EXPECT_FALSE (dialog.hasUsableName());
}

TEST (GeneralDialog, ClosesTheModalWindowAroundItWithItsResult)
{
    VX_REQUIRE_DISPLAY();

    GeneralDialog dialog;
    juce::DialogWindow window ("New Global preset", juce::Colour (0xFF383838), true, true);
    window.setContentNonOwned (&dialog, true);
    window.setVisible (true);

    int modalResult = -1;
    window.enterModalState (true, juce::ModalCallbackFunction::create ([&modalResult] (int r) { modalResult = r; }), false);
    ASSERT_TRUE (window.isCurrentlyModal());

    dialog.getNameEditor().setText ("Bright");
    dialog.getCreateButton().triggerClick();

    for (int i = 0; i < 50 && modalResult < 0; ++i)
        juce::MessageManager::getInstance()->runDispatchLoopUntil (10);

    EXPECT_EQ (modalResult, 1);
    EXPECT_FALSE (window.isCurrentlyModal());
    EXPECT_EQ (dialog.getEnteredName(), "Bright");
    window.clearContentComponent();
}
