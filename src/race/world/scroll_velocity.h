#pragma once
// Sets ScrollDX, ScrollDY from the player's heading and speed: the world
// moves against the car. Called once per race tick after the road's chips
// are refreshed, and by the car's bounce off a wall.
void UpdateScrollVelocity();
