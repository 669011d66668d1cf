// A Task Scheduler that records the COM calls of a task registration instead of scheduling
// anything (Wine's own cannot connect). Create one with its log, hand it out through the
// system facts, and read log.calls afterwards.
#pragma once
#include "TaskSchedulerStubs.h"

// The caller owns the returned reference (Release it); the objects it hands out write to log.
ITaskService* NewFakeTaskService(TaskLog* log);
