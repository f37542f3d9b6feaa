#pragma once
// State a test or a bench program puts into the main window directly, for
// the few cases the window cannot reach in a test's time or in a defined
// form: a live recorder history takes 500 polls, and a setpoint image of
// values no relay would send shows what the page does with them. Everything
// else a test reaches by driving the window or the simulator.
#include "app/tform1.h"

struct Form1TestSetup {
    // The live recorder history, as 500 polls would have left it.
    static void setLiveHistory(TForm1& f, const History& history) {
        f.chart_->recorder.recorderHistory = history;
    }
    // The image of the relay's setpoints, as a read would have left it.
    static void setSetpointImage(TForm1& f, const QVector<qint32>& image) {
        f.setpoints_->state_.setpointImage = image;
    }
    // No setpoint read yet: a read that fails leaves the image empty.
    static void forgetSetpointImage(TForm1& f) { f.setpoints_->state_.setpointImage.clear(); }
};
