namespace { [[maybe_unused]] int stub; }
