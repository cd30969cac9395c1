// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class LogSink;
class SendPipeline;

// Sends predefined output `index` (0 ... 7) exactly as stored, read afresh
// so that a saved output takes effect at once. An empty one sends nothing;
// a failure to read it is logged as "Output: ...".
void sendPredefinedOutput(int index, SendPipeline& pipeline, LogSink& log);
