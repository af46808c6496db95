// The session `layout-sim demo` plays: a tour a newcomer can follow.
#pragma once

namespace standin {

inline constexpr const char* kDemoScript = R"(# layout-sim demo
say Layout has loaded the SpaceBall plug-in. It offers these servers:
servers
say Applying the master handler hooks Layout's main window and opens the device.
apply
state
say Pushing the ball moves the selection, twisting it rotates it:
motion 350 0 -20 0 0 0
motion 0 0 0 0 15 0
motion 1000 0 0 20 -5 3
say A push with nothing in it sends nothing:
motion 0 0 0 0 0 0
say "SpaceBall Scale" makes pushes scale the selection instead:
generic Vexa_SpaceBallScale
motion 350 0 -20 0 0 0
generic Vexa_SpaceBallMove
say A render locks device input until Layout reports it done:
run RenderScene
say   (a push during the render: nothing is sent)
motion 350 0 0 0 0 0
render-done
say   (the render is done: the push moves the selection again)
motion 350 0 0 0 0 0
say The configuration panel assigns commands to buttons, typed or captured:
options
panel check open-on-activation off
say   (button 1 gets a typed command)
panel select 0
panel type AddRotation 0 90 0
say   (button 5 captures the next command Layout runs, and only that one)
panel select 4
panel capture on
run FirstFrame
run LastFrame
say   (button 12 gets a render)
panel select 11
panel type RenderFrame
snapshot config config-panel.png
say The About panel runs until Enter closes it:
panel click About
snapshot about about-panel.png
key 13
say Pressing the buttons runs their commands; a release runs nothing:
button 1
release 1
button 5
say   (button 7 has no command: nothing is sent)
button 7
say Disabling device input beeps the device and stops the ball:
generic Vexa_SpaceBallDisable
motion 100 0 0 0 0 0
generic Vexa_SpaceBallEnable
state
say Removing the handler closes the device and saves the settings:
remove
settings
)";

}  // namespace standin
