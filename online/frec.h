#pragma once
// The confirmation dialog of the results update, shown modal by the update button.
#include <array>

#include "forms/form.h"

namespace zentrafo {

class Marlix;

class FREC {
public:
    explicit FREC(Marlix& w);
    FREC(const FREC&) = delete;
    FREC& operator=(const FREC&) = delete;

    forms::Form form{"FREC"};
    forms::Control* Command1 = nullptr; // confirm
    forms::Control* Command2 = nullptr; // cancel
    std::array<forms::Control*, 2> Label1{};
    forms::Control* Image2 = nullptr; // the edition's logo

    // Every text comes from the current language when the dialog loads.
    void Form_Load();
    void Command1_Click();
    void Command2_Click();

private:
    Marlix& w_;
};

} // namespace zentrafo
