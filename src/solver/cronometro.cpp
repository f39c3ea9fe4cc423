// Cronômetro das fases: tempo de relógio (as threads da equipe trabalham ao mesmo tempo) somado por nível e fase.
#include "platform/plataforma.h"
#include "solver/cronometro.h"

cronometro_fase::cronometro_fase(tempos_fases* tempos, int nivel, fase_tempo fase)
    : tempos_(tempos), nivel_(nivel), fase_(fase) {
    if (tempos_) inicio_ = tempo_parede();
}

cronometro_fase::~cronometro_fase() {
    if (!tempos_) return;
    const double fim = tempo_parede();
    const auto n = static_cast<std::size_t>(nivel_);
    if (n >= tempos_->por_nivel.size()) return; // nível fora do preparado: nada a somar
    const auto f = static_cast<std::size_t>(fase_);
    tempos_->por_nivel[n][f] += fim - inicio_;
    ++tempos_->chamadas[n][f];
}

void preparar_tempos(tempos_fases& t, int nm) {
    const auto n = static_cast<std::size_t>(nm > 0 ? nm : 0) + 1;
    t.por_nivel.assign(n, {});
    t.chamadas.assign(n, {});
}
