// Memória planejada antes de ser tomada: no Linux uma alocação grande pode dar certo e o processo
// morrer depois, ao tocar as páginas; melhor recusar a rodada com os números na mão.
#include <algorithm>
#include <cstdio>

#include "platform/plataforma.h"
#include "run/erro_fatal.h"
#include "run/execucao.h"
#include "solver/solver.h"

namespace {

std::string legivel(long double b) {
    const char* unidades[] = {"B", "KiB", "MiB", "GiB", "TiB", "PiB"};
    int u = 0;
    while (b >= 1024 && u < 5) b /= 1024, ++u;
    char s[32];
    std::snprintf(s, sizeof s, u == 0 ? "%.0Lf %s" : "%.1Lf %s", b, unidades[u]);
    return s;
}

} // namespace

necessidade_memoria memoria_necessaria(const estado_execucao& e, const metodo_solver& metodo) {
    necessidade_memoria m;
    const long long d = static_cast<long long>(sizeof(double));
    m.hist = d * (std::clamp(e.itmax, 0, hist_inicial - 1) + 1LL);
    m.T = d * (static_cast<long long>(e.nxyg[e.nm]) + 1);
    if (e.nm > 1) {
        const long long grossos = static_cast<long long>(e.nxyt) - e.nxyg[e.nm];
        m.cor = m.res = d * ((grossos < 0 ? 0 : grossos) + 1);
        if (metodo.grosso_exato) m.fator = bytes_fator_banda(e.nxg[1], e.nyg[1]);
    }
    const rascunho_metodo r = rascunho_necessario(e, metodo);
    m.rascunho = d * (static_cast<long long>(r.suavizador) + r.restricao);
    return m;
}

void planejar_memoria(const estado_execucao& e, const metodo_solver& metodo) {
    const necessidade_memoria m = memoria_necessaria(e, metodo);
    const long long total = m.T + m.cor + m.res + m.hist + m.rascunho + m.fator;
    const long long livre = memoria_disponivel();
    if (livre < 0 || total <= livre) return;
    std::string partes = "T " + legivel(m.T);
    if (m.cor) partes += ", cor " + legivel(m.cor) + ", res " + legivel(m.res);
    partes += ", hist " + legivel(m.hist);
    if (m.rascunho) partes += ", scratch " + legivel(m.rascunho);
    if (m.fator) partes += ", band factor of level 1 " + legivel(m.fator);
    throw erro_fatal("not enough memory for this run: it needs " + std::to_string(total) + " bytes (" +
                     legivel(total) + ": " + partes + ") but only " + std::to_string(livre) + " bytes (" +
                     legivel(livre) + ") are available");
}
