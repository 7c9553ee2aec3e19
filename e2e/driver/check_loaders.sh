#!/bin/bash
# Finds calls of Debian's Wine scripts (wine, wineboot, winepath, wineserver...) in the harness, the
# benchmarks and the Makefile: those scripts run the 32-bit or the 64-bit half depending on what is
# installed, so every call names its loader instead (e2e/driver/wine_halves.sh). Prints each call
# found as FILE:LINE: TEXT and exits with 1 when there is one.
#
#   bash e2e/driver/check_loaders.sh [SOURCE ROOT]     (default: this checkout)
#
# A call is one of those names as the command of a simple command: at the start of a line or after
# ; & | ( { ` $( then do else, past variable assignments and the prefixes env, exec, timeout N,
# command, nohup and sudo. Comments and here-documents are left out; continued lines are joined
# first.

ROOT=${1:-$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)}
cd "$ROOT" || exit 2
files=$( { ls Makefile; find e2e bench -type f \( -name '*.sh' -o -name '*.bash' \);
           grep -rlE '^#!.*\b(ba)?sh\b' e2e bench 2>/dev/null; } | grep -vxF e2e/driver/check_loaders.sh | sort -u)
[ -n "$files" ] || { echo "check_loaders: no harness files under $ROOT" >&2; exit 2; }

# shellcheck disable=SC2086 # one file name a word
perl -e '
    my $names = qr/(?:wine|wine64|wine-stable|wineboot|winepath|wineserver|winecfg|wineconsole|winedbg|regedit|msiexec)/;
    my $prefix = qr/(?:[A-Za-z_][A-Za-z0-9_]*=\S*\s+|env\s+|exec\s+|command\s+|nohup\s+|sudo\s+|timeout\s+(?:-\S+\s+(?:[A-Z]+\s+)?)*\d+[smh]?\s+)*/;

    # The simple commands of a line of shell: quoted texts and ${...} masked (x), split at the
    # operators and at the starts and ends of subshells and command substitutions.
    sub commands {
        my @c = split //, shift;
        my (@out, @stack);
        my ($cur, $dq) = ("", 0);
        for (my $i = 0; $i < @c; ++$i) {
            my $ch = $c[$i];
            if ($ch eq "\\") { $cur .= "xx"; ++$i; next }
            if ($ch eq "\x27" && !$dq) {
                do { $cur .= "x"; ++$i } while ($i < @c && $c[$i] ne "\x27");
                next;
            }
            if ($ch eq "\$" && ($c[$i + 1] // "") eq "{") {
                my $depth = 0;
                do { $depth += $c[$i] eq "{"; $depth -= $c[$i] eq "}"; $cur .= "x"; ++$i } while ($i < @c && $depth > 0);
                --$i;
                next;
            }
            if ($ch eq "\$" && ($c[$i + 1] // "") eq "(") { push @stack, $dq; $dq = 0; ++$i; push @out, $cur; $cur = ""; next }
            if ($ch eq "\"") { $dq = !$dq; $cur .= "x"; next }
            if ($dq) { $cur .= "x"; next }
            if ($ch eq "(") { push @stack, 0; push @out, $cur; $cur = ""; next }
            if ($ch eq ")") { $dq = @stack ? pop @stack : 0; push @out, $cur; $cur = ""; next }
            if ($ch =~ /[;&|{}`]/) { push @out, $cur; $cur = ""; next }
            $cur .= $ch;
        }
        push @out, $cur;
        return map { my $p = $_; $p =~ s/^\s*[@-]?\s*(?:(?:then|do|else|elif|if|while|until|!)\s+)*//; $p } @out;
    }

    my $found = 0;
    for my $file (@ARGV) {
        open my $in, "<", $file or die "$file: $!";
        my ($text, $first, $heredoc) = ("", 0, undef);
        while (my $line = <$in>) {
            chomp $line;
            if (defined $heredoc) { undef $heredoc if $line =~ /^\t*\Q$heredoc\E$/; next }
            $first = $. if $text eq "";
            next if $text eq "" && $line =~ /^\s*@?#/;
            $heredoc = $1 if $line =~ /<<-?\s*[\x27"]?(\w+)/;
            $line =~ s/\s+#\s.*$//;
            if ($line =~ s/\\$//) { $text .= "$line "; next }
            $text .= $line;
            if (grep { /^$prefix$names(?=\s|$)/ } commands($text)) {
                print "$file:$first: $text\n";
                $found = 1;
            }
            $text = "";
        }
    }
    exit $found;
' $files
