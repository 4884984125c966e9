#pragma once
// Rules for particular endings. Each takes the strong side (the one with the extra
// material); the evaluations answer from the side to move's point of view.

#include <cstdint>

// King and rook, or king and queen (with any pawns), against the bare king.
int32_t EvaluateMateDrive(int32_t strong);
// King, bishop and knight against king: toward a corner the bishop covers.
int32_t EvaluateBishopKnightMate(int32_t strong);
// King and two knights against king: no forced mate.
int32_t EvaluateTwoKnights(int32_t strong);
// King and rook against king and pawn.
int32_t EvaluateRookAgainstPawn(int32_t strong);
// King and rook against king and bishop.
int32_t EvaluateRookAgainstBishop(int32_t strong);
// King and rook against king and knight.
int32_t EvaluateRookAgainstKnight(int32_t strong);
// King and queen against king and pawn.
int32_t EvaluateQueenAgainstPawn(int32_t strong);
// King and queen against king and rook.
int32_t EvaluateQueenAgainstRook(int32_t strong);
// King and two knights against king and pawn.
int32_t EvaluateTwoKnightsAgainstPawn(int32_t strong);

// Kings and pawns only, the strong side's pawns all on the rook files: 0 (a draw) when the
// defending king stands in front of all of them, else NO_SCALING.
int32_t ScalePawnsOnly(int32_t strong);
