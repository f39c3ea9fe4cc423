// Núcleos rápidos: as contas dos núcleos de referência, bit a bit, noutra ordem de visita.
//
// Por que os bits são os mesmos. Numa varredura lexicográfica o ponto (i, j) lê oeste e sul já desta varredura e
// leste e norte ainda da anterior; toda ordem que respeite essas dependências (e que leia cada valor antes de ele
// ser sobrescrito) faz cada atualização com os mesmos operandos. Aqui:
//  - as linhas andam em faixas de linhas em voo, cada linha algumas colunas atrás da de baixo, o que dá
//    recorrências independentes para o processador sobrepor; o oeste passa por registrador, com o mesmo valor da
//    memória;
//  - nas famílias vetoriais (AVX2, AVX-512) cada vetor leva linhas vizinhas da faixa, uma por raia: no passo t a
//    raia da linha m atualiza a coluna t - atraso*m. Uma cópia transposta e defasada de alguns passos da faixa
//    (o anel) põe lado a lado, na ordem das raias, os vizinhos de cada ponto: sul é a saída da linha de baixo
//    `atraso` passos antes, norte a entrada da linha de cima `atraso` passos depois, leste a entrada do passo
//    seguinte; cada raia faz as mesmas operações IEEE, na mesma ordem e no mesmo agrupamento, da conta escalar do
//    seu ponto, e a cópia de volta escreve cada valor onde ele estava;
//  - a varredura s do bloco de linhas b vem, na sequência das faixas, depois da varredura s-1 do bloco b+1 (chave
//    b + 2s), de modo que as varreduras pedidas, a injeção de resíduos e a norma saem numa só passada pela memória;
//  - com várias threads, cada uma varre uma fatia de colunas de todas as faixas da sequência; antes de (s, b) a
//    fatia h espera a h-1 terminar (s, b), que lhe dá o oeste já novo, e a h+1 terminar (s-1, b), que lhe dá o
//    leste ainda da varredura anterior;
//  - numa correção zerada (pedido.zerar) a primeira varredura usa o zero em vez de ler norte e leste antigos: é a
//    mesma soma com o mesmo operando +0.0 que a memória zerada daria (x + 0.0 não é trocado por x, por causa de
//    -0.0), e a prolongação escreve 0.0 + v;
//  - prolongação e restrição são pontuais; as parcelas da norma são calculadas à parte (também em vetores, ponto a
//    ponto), mas somadas numa só variável, numa só thread, em ordem de armazenamento (algumas por passo, dentro das
//    varreduras seguintes).
// Cada conta é escrita como no núcleo de referência: mesmos operandos, mesmo agrupamento; -ffp-contract=off
// impede que uma multiplicação e uma soma virem uma só operação com um arredondamento a menos.
#include <algorithm>

#include "fast/rapido.h"

double passada_rapida(const nivel_passada& v, const pedido_passada& pedido, equipe& eq) {
    passada p;
    p.u = v.u;
    p.direito = v.f;
    p.nx = v.nx;
    p.ny = v.ny;
    p.ae = v.ae;
    p.an = v.an;
    p.ap = v.ap;
    p.q = 1.0 / v.ap;
    p.omega = pedido.omega;
    p.pedido = pedido;
    if (v.f == nullptr) p.pedido.zerar = false; // T nunca começa zerado
    if (pedido.prolongar || pedido.restringir) {
        p.grossa = v.grossa;
        p.direito_grosso = v.direito_grosso;
        p.nxc = v.nxc;
    }
    p.colunas = p.nx - 2;
    if (p.colunas <= 0 || p.ny - 2 <= 0) return 0.0;
    plano_nivel& pl = plano_do_nivel(eq, p.nx, p.ny);
    p.atraso = pl.atraso; // antes das threads: todas leem p, nenhuma o escreve (só a última fatia, a fila)
    if (pedido.varreduras <= 0) {
        passada_sem_varreduras(p, pl);
    } else if (pedido.suavizador != suavizador_passada::gs_lex) {
        passada_pontual(p, pl, eq);
    } else {
        dividir_colunas(pl, p.pedido);
        for (sinal& s : pl.feitos) s.valor.store(0);
        const espera modo = eq.modo_espera();
        eq.executar(pl.fatias, [&p, &pl, modo](int h) { trabalhar(p, pl, h, modo); });
    }
    return pedido.norma ? p.fila.soma : 0.0;
}
