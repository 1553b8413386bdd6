// RandomNumberGenerator: the interface of the uniform sources behind the
// distributions. Implementations are not thread-safe.
#ifndef VELMOR_RANDOM_RANDOMNUMBERGENERATOR_H
#define VELMOR_RANDOM_RANDOMNUMBERGENERATOR_H

// A uniform source, owned through a base pointer and deleted through the
// virtual destructor. The base itself yields 0.0 and ignores seeds.
class RandomNumberGenerator {
 public:
  RandomNumberGenerator() = default;
  RandomNumberGenerator(const RandomNumberGenerator&) = delete;  // owned via pointer only
  RandomNumberGenerator& operator=(const RandomNumberGenerator&) = delete;
  virtual ~RandomNumberGenerator() = default;

  // The next uniform number.
  virtual double rnd() { return 0.0; }
  // Re-seeds the generator.
  virtual void srnd(unsigned long seed) { static_cast<void>(seed); }
};

#endif  // VELMOR_RANDOM_RANDOMNUMBERGENERATOR_H
