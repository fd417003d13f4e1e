// The dispatcher's side of CTC control mode: a click on a switch or a signal
// does not change the layout but asks the field for it. The request is checked
// against the interlocking's locks, marked on the devices concerned (request
// flags, pending marks, a blinking switch) and sent as one control line; the
// field's indication settles it later. A second click on a device whose
// request is still outstanding withdraws it.
#pragma once

class Engine;

namespace xfer {

// A switch click (2000 + index). 1 when a pending request was withdrawn (the
// opposite position is sent at once), else 0: refused, or requested.
int CTCThrowSwitch(Engine& engine, int switchDevice);

// The display refresh: every switch whose blink is on shows or hides with the
// phase of the blink counter. Nothing outside CTC control mode.
void CTCBlinkPendingSwitches(Engine& engine);

// A signal click (3000 + index, or 13000 + index). `fromStack` is 1 for a
// request of the signal stack, which clears even while a running time lasts.
// 1 when a cleared signal was cancelled (or the click changes nothing), else 0.
int CTCClearSignal(Engine& engine, int signalDevice, int fromStack);

// The route check of a CTC clear (direction 1 right, 0 left, from `startBlock`):
// the free signalled blocks found, 0 when refused. A route over a switch
// requested to its other position is refused, and a cleared route is marked as
// waiting for the field. `silent` refuses with no marks or messages; `force`
// clears whatever was found.
int CTCCheckRoute(Engine& engine, int direction, int startBlock, bool silent, bool force);

// By signal index: takes back the route beyond the signal and leaves the signal
// at stop with no request.
void CTCDropSignalRoute(Engine& engine, int signal);
// By signal index: sets or removes the pending marks along the signal's route.
void CTCMarkRoutePending(Engine& engine, int signal);
void CTCClearRoutePending(Engine& engine, int signal);

}  // namespace xfer
