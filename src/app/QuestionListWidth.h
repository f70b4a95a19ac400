#pragma once
// How wide the question list drops down: wide enough for the widest caption,
// at least the box's width and at most kMaxQuestionListWidth. Only as much of
// each caption is measured as could ever show, so a test of 100 questions of
// 100 KB each is sized in a moment (measuring them whole, and again for each
// row added, took half a minute).

#include <QStringList>

class QFontMetrics;

constexpr int kMaxQuestionListWidth = 480;

int questionListWidth(const QFontMetrics &metrics, const QStringList &captions, int boxWidth);
